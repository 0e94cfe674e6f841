// The workbench's picture: a stand of trees under a sky, drawn here.
#pragma once

#include <QPixmap>

QPixmap StandEmblem(int size);
