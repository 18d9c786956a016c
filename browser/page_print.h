#pragma once

class QWebEngineView;

namespace browser {

// What the engine does when a page calls window.print(): the system's print
// dialog over the view's window, then the page printed on the printer chosen.
// "Print to File (PDF)" gets the engine's own PDF of the page, whose text
// stays text; a real printer gets the page drawn on it. The dialog does not
// block the engine, and the printing ends on its own after the dialog.
void PrintPage(QWebEngineView& view);

// Waits (serving events, ten seconds at most) until the view's printing has
// ended: a page destroyed while the engine still prints it brings the engine
// down later.
void FinishPrinting(QWebEngineView& view);

}  // namespace browser
