#pragma once
// The recorder's dialogs in a window test program: the class name and title
// of every dialog run are recorded; a scripted handler answers it, else it is
// rejected without being shown. The window tests' main installs it.
#include "RecordingServices.h"

int runRecordedDialog(RecordingServices &services, QDialog &dialog);
