#pragma once

// Makes freed large buffers go back to the system, for a viewer that stays
// open all day. Process-wide; harmless to call more than once.
void returnFreedLargeBuffers();
