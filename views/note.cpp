#include "views/note.h"

TFmNote::TFmNote(QWidget* owner) : QDialog(owner) {
    setObjectName("FmNote");
    setWindowTitle("Driver File");
}
