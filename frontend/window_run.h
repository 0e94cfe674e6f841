// A run started from the main window: the progress window, the disabled
// windows, the completion in the window and the error window around the
// engine's run loop.
#pragma once

class TMainForm;

// Runs the model with the settings in force. Outside the quiet modes its
// failure is shown in the error window; in them it is thrown on.
void RunFromWindow(TMainForm& form);
