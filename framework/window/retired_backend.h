#pragma once

// An earlier window backend, kept so that backend 0 still answers: its
// window operations only say they are gone.
namespace RetiredBackend {

void unsupported();
bool isQuitRequested();
void requestQuit();
// Back to the state of a fresh process (test programs run many cases in one).
void resetToStart();
bool mouseClicked();
int mouseX();
int mouseY();

}  // namespace RetiredBackend
