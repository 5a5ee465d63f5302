#include "x11/x_errors.h"

namespace korvane {

namespace {

XErrorRecord gRecord;

int NoteError(Display*, XErrorEvent* event) {
    ++gRecord.count;
    gRecord.lastCode = event->error_code;
    gRecord.lastResource = event->resourceid;
    return 0;
}

}  // namespace

void RecordXErrors() {
    XSetErrorHandler(NoteError);
}

const XErrorRecord& RecordedXErrors() {
    return gRecord;
}

}  // namespace korvane
