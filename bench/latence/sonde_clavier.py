#!/usr/bin/env python3
"""Key-press latency of the main window, as a user would feel it.

Presses Alt+F (the "Fichier" menu) in the focused window with xdotool and
times how long until the menu's popup window is mapped on the X server (a
MapNotify on the root window), then closes it with Escape and waits for it
to go. The time counts from just before xdotool is started, so it includes
xdotool's own start: the figures are upper bounds.

    sonde_clavier.py <window id> <presses> <pause s> [<seconds to last>]

Prints one latency in ms per line, then "median" and "max" lines.
"""
import ctypes
import ctypes.util
import select
import statistics
import subprocess
import sys
import time

MAP_NOTIFY, UNMAP_NOTIFY = 19, 18
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
xlib.XPending.argtypes = [ctypes.c_void_p]
xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
xlib.XConnectionNumber.argtypes = [ctypes.c_void_p]
xlib.XFlush.argtypes = [ctypes.c_void_p]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("pad", ctypes.c_long * 24)]


def attendre(display, voulu, limite):
    """Seconds until an event of type `voulu` on the root's children; None past `limite` s."""
    debut = time.monotonic()
    fd = xlib.XConnectionNumber(display)
    evenement = XEvent()
    while True:
        while xlib.XPending(display):
            xlib.XNextEvent(display, ctypes.byref(evenement))
            if evenement.type == voulu:
                return time.monotonic()
        reste = limite - (time.monotonic() - debut)
        if reste <= 0:
            return None
        select.select([fd], [], [], reste)


def main():
    fenetre, appuis, pause = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
    duree = float(sys.argv[4]) if len(sys.argv) > 4 else None
    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    xlib.XSelectInput(display, xlib.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    xlib.XFlush(display)
    mesures = []
    fin = time.monotonic() + duree if duree else None
    for _ in range(appuis):
        if fin and time.monotonic() > fin:
            break
        subprocess.run(["xdotool", "windowfocus", "--sync", fenetre], check=True)
        while xlib.XPending(display):  # what came before this press
            xlib.XNextEvent(display, ctypes.byref(XEvent()))
        debut = time.monotonic()
        subprocess.run(["xdotool", "key", "alt+f"], check=True)
        ouvert = attendre(display, MAP_NOTIFY, 10)
        if ouvert is None:
            print("no menu within 10 s", flush=True)
            mesures.append(10000.0)
            continue
        mesures.append((ouvert - debut) * 1000)
        print(f"{mesures[-1]:.1f}", flush=True)
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        attendre(display, UNMAP_NOTIFY, 10)
        time.sleep(pause)
    if mesures:
        print(f"median {statistics.median(mesures):.1f}")
        print(f"max {max(mesures):.1f}")
        print(f"count {len(mesures)}")


if __name__ == "__main__":
    main()
