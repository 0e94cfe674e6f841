// Numbers keep the decimal point whatever the desktop's locale.
#pragma once

// The toolkit takes the desktop's locale for the C library (so that printf
// and strtod would write and read "0,5" under a comma-decimal locale) and for
// its own number texts. Called right after the toolkit application is made,
// this puts both back to the point: every number the program shows, writes
// or reads uses it.
void KeepDecimalPoint();
