#include "framework/app/failure_boxes.h"

#include "engine/core/exception.h"
#include "framework/window/gl_window.h"
#include "platform/message_box.h"

namespace {

void failureBox(const char* text, const char* caption) {
    // The box must not hide behind a full-screen window.
    GLWindow::restoreDisplayMode();
    host::messageBox(text, caption, host::Buttons::Ok, host::Icon::Error);
}

}  // namespace

int runWithFailureBoxes(const std::function<int()>& show) {
    try {
        return show();
    } catch (zentac::Exception* e) {
        failureBox(e->Message().Data(), "Halvenor Exception");
        delete e;
        return -2;
    } catch (zentac::Exception& e) {
        failureBox(e.Message().Data(), "Halvenor Exception");
        return -1;
    } catch (...) {
        failureBox("Fucked up", "");
        return -2;
    }
}
