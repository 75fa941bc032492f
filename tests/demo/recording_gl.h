#pragma once

class DrawRecord;

// The OpenGL entry points the show calls, linked into this test program in
// place of the driver's: every call goes to the record, and no context is
// needed. Entry points the show is not expected to call throw.
void recordOpenGlInto(DrawRecord& record);
