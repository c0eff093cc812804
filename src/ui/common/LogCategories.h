#pragma once
#include <QLoggingCategory>

// The program's log categories. Information and warnings are on by default,
// the bytes on the wire (debug) off; QT_LOGGING_RULES changes either, e.g.
// QT_LOGGING_RULES="lumarq.comm.debug=true" or "lumarq.*=false".
Q_DECLARE_LOGGING_CATEGORY(lcComm)   // "lumarq.comm": connections, steps, bytes
Q_DECLARE_LOGGING_CATEGORY(lcStore)  // "lumarq.store": the per-user store
Q_DECLARE_LOGGING_CATEGORY(lcFile)   // "lumarq.file": configuration files opened and saved

// Hands the core's log lines to the three categories (and so to standard
// error, or the journal when the desktop started the program).
void InstallQtLogSink();
