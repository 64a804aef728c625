#pragma once

#include <QtGlobal>

// Bounds how long a blocking call waits on a server that has gone silent (a
// stopped server process, a network path that stopped forwarding): the
// server's own statement timeout cannot fire there, and keepalives see only
// lost packets. One thread of the process watches every armed socket; when
// a deadline passes it shuts that socket down, so the blocked call returns
// at once with an error. It never touches the connection itself.
namespace AnswerWatch {

// Watches `socket` for `milliseconds` from now; gives the ticket to disarm.
quint64 arm(int socket, int milliseconds);
// Ends the watch before the socket may be closed (its number could be given
// to another file); true when the deadline passed and it was shut down.
bool disarm(quint64 ticket);

} // namespace AnswerWatch
