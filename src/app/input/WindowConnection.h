#ifndef TESSEL_WINDOWCONNECTION_H
#define TESSEL_WINDOWCONNECTION_H

// The descriptor the window's events arrive on (the X server's connection
// under X11), for sleeping in poll() until input comes; -1 where SDL gives
// none (other video drivers), so events can only be polled for.
namespace WindowConnection {

int descriptor();

} // namespace WindowConnection

#endif
