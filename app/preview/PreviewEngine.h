#pragma once
// What the preview's web engine needs before it starts: the stored-file
// URL schemes, and Chromium switches that take the network away from every
// document and frame of the engine.
//
// The request filter of the preview profile sees what pages load, but not
// the sockets WebRTC opens on its own (host candidates, STUN and TURN over
// UDP, TURN over TCP), and a script taking the constructors away reaches
// only documents it runs in, not a fresh about:blank frame. The switches
// hold for the whole engine instead:
//  - WebRTC may use no UDP except through a proxy (there is none for UDP),
//    so it gathers no host, STUN or TURN-over-UDP candidates;
//  - every TCP connection, TURN over TCP included, goes through a proxy on
//    the discard port of the loopback address, where nothing answers, and
//    no address (loopback neither) bypasses it;
//  - no host name is looked up, by DNS or mDNS: a page would otherwise make
//    the engine resolve names of its choosing (the address of a remote
//    WebRTC candidate, a TURN server's name), and the queries carry
//    whatever the page wrote into them off the machine.

#include <QByteArray>
#include <QList>

namespace velmora::app {

// The switches above, in the form QTWEBENGINE_CHROMIUM_FLAGS takes them.
QList<QByteArray> PreviewEngineSwitches();

// The engine's flag text: the user's own switches first (the environment
// variable when set, else the "--" arguments of the command line, which the
// engine ignores once the variable is set), then the preview's, which win
// over any the user gave for the same setting. Nothing of the user's can
// take the preview's away: an unclosed quote is closed, and a bare "--",
// after which the engine would take switches for plain arguments, is left
// out.
QByteArray PreviewEngineFlags(const QByteArray& userFlags, bool blnUserFlagsSet, int argc, char** argv);

// Registers the stored-file schemes and sets QTWEBENGINE_CHROMIUM_FLAGS.
// Must run before the QApplication is created.
void PreparePreviewEngine(int argc, char** argv);

}  // namespace velmora::app
