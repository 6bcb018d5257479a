#pragma once

class QCoreApplication;

// SIGTERM, SIGINT and SIGHUP close the program the way its Exit command would: the handler
// only writes a byte to a pipe, the event loop then calls `quit`.
void QuitOnTerminationSignals(QCoreApplication* app, void (*quit)());
