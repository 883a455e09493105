#pragma once

class QTextEdit;

// Qt lays a long document out a step per turn of the event loop, in steps
// that double up to 200,000 characters: one of those holds the window for a
// tenth of a second. The box's layout is paced instead, a piece of a few
// thousand characters per turn. Called again when the box gets another
// document.
void paceLayout(QTextEdit* box);
