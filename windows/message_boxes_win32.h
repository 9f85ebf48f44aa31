#pragma once

// The confirmation box before the arc template prints: 1 for OK, 2 for Cancel, Esc or the close box.
int ConfirmParameters();
// The help and about box; returns when it is closed.
void ShowHelpAbout();
