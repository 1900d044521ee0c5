#pragma once

// Chooses how the web view's frames reach the window; called once before
// the first web view exists.
void chooseWebRendering();
