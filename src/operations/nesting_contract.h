// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The nesting contract, kept by every operation here with the handlers that
// run nested in its yields (yieldToEvents, waitForEvents); nothing to compile.
// Everything runs on one thread; the long operations yield at fixed points,
// and whatever their control state leaves enabled may run there, nested, on
// the same stack. Help, the backdrop, the placement controls, the text fields
// and Exit are never disabled. After each yield the operation checks again
// what a nested handler may have changed:
//
// operation (yields)          may run in its yields            checks again after each
// --------------------------  -------------------------------  ---------------------------------
// reception, Com1 with RxD    RxD, TxD, New if it was enabled  the port: a failed read ends it
//   (each slot, each wait)    (TxD enables Com1, Man, New)     quietly; RxD still selected when
//                                                              the device went away
// fill, Man (each code)       nothing of the table             the pause in txtTime
// reset, New (each slot)      nothing of the table             nothing
// string send, Send           TxD, slot buttons as they were;  the pause in txtTime ("0000":
//   (each character)          Send again is ignored            none); the port, opened again
// continuous send, SendC      TxD, slot buttons (a new code),  the stop request; txtO's code;
//   (each byte)               Stop; SendC again is ignored     the pause; the port, opened again
// slot button, optS (after    further slots (arrow keys        which codes are still due, and
//   transmit mode, after      queued faster than handled)      whether it is the latest to show
//   showing its code)
// mode button, RxD/TxD       anything enabled                 TxD selects itself again
//   (once, first)
// control-code names, chkA    anything enabled                 nothing
//   (each slot 0..32)
// edit end of txtLeft/txtTop  the click that took the focus    the field's text, then judged
//   (once, after the focus
//   has moved on)
// position fields (none)      -                                - (driven by moves and edit ends)
// start-up (the reception;    every later action runs nested   -
//   once before the loop)     in the application's loop
// pause over 2,000 ms         as the operation's own yields    the continuous send: its stop
//
// Only one fill, reset, string send or continuous send runs at a time (a
// BusyGuard each); the control states keep the others from nesting in them.
