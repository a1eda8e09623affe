#pragma once

class Journal;
class WindowRegistry;

// At start, once the main window shows: offers back the changes a program
// that ended without saving them left in its journal, the latest first. The
// first one taken ends the offer; the rest are asked at the next start.
void offerRecovery(WindowRegistry &registry, Journal &journal);
