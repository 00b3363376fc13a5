#!/usr/bin/env python3
# Closes Velkor's main window during a download, as a window manager's close box does (a
# WM_DELETE_WINDOW message), and measures the time from the close to the end of the process. The
# real program runs on a private Xvfb display against velkor-sim at the true line rate, in a
# throw-away profile. Run by hand: bench/close_during_download.py [BUILD_DIR] [SECONDS]
# (defaults build and 1.6: how long after the download's start the window is closed).
# Needs Xvfb (package xvfb) and the X11 and XTest client libraries.

import ctypes
import ctypes.util
import os
import shutil
import subprocess
import sys
import tempfile
import time

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build"
CLOSE_AFTER = float(sys.argv[2]) if len(sys.argv) > 2 else 1.6
DISPLAY = ":97"

# Where the program puts things on a fresh profile at 1280x800 without a window manager.
COMMUNICATIONS_MENU = (176, 8)
DOWNLOAD_ITEM = (200, 33)
FIRMWARE_ID_OK = (522, 258)

x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
xtest = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                           ctypes.POINTER(ctypes.c_uint)]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtest.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_ulong]
xtest.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                       ctypes.c_ulong]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("l", ctypes.c_long * 5), ("pad", ctypes.c_char * 96)]


def main():
    profile = tempfile.mkdtemp(prefix="velkor-close.")
    env = dict(os.environ, DISPLAY=DISPLAY, XDG_CONFIG_HOME=profile, QT_QPA_PLATFORM="xcb")
    received = os.path.join(profile, "received.txt")
    started = []
    try:
        started.append(subprocess.Popen(["Xvfb", DISPLAY, "-screen", "0", "1280x800x24",
                                         "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL))
        time.sleep(1.0)
        sim = subprocess.Popen([os.path.join(BUILD, "velkor-sim"), "--paced", "--link",
                                os.path.join(profile, "Velkor/ports/com1"), "--log", received],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
        started.append(sim)
        sim.stdout.readline()  # the terminal's path: the simulator is ready
        app = subprocess.Popen([os.path.join(BUILD, "velkor")], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        started.append(app)
        display = x11.XOpenDisplay(DISPLAY.encode())

        def click(point):
            xtest.XTestFakeMotionEvent(display, -1, point[0], point[1], 0)
            x11.XFlush(display)
            time.sleep(0.1)
            xtest.XTestFakeButtonEvent(display, 1, 1, 0)
            xtest.XTestFakeButtonEvent(display, 1, 0, 0)
            x11.XFlush(display)
            time.sleep(0.4)

        def press_return():
            code = x11.XKeysymToKeycode(display, x11.XStringToKeysym(b"Return"))
            xtest.XTestFakeKeyEvent(display, code, 1, 0)
            xtest.XTestFakeKeyEvent(display, code, 0, 0)
            x11.XFlush(display)
            time.sleep(0.3)

        def bytes_received():
            try:
                with open(received) as f:
                    return f.read().count("\n")
            except FileNotFoundError:
                return 0

        def main_window():
            root, parent = ctypes.c_ulong(), ctypes.c_ulong()
            children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
            x11.XQueryTree(display, x11.XDefaultRootWindow(display), ctypes.byref(root),
                           ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count))
            for i in range(count.value):
                name = ctypes.c_char_p()
                if x11.XFetchName(display, children[i], ctypes.byref(name)) and name.value and \
                        b"Shift Light Controller" in name.value:
                    return children[i]
            raise SystemExit("the main window was not found")

        time.sleep(6.0)  # the splash, then the display options dialog
        press_return()  # OK in the display options dialog
        click(COMMUNICATIONS_MENU)
        click(DOWNLOAD_ITEM)
        time.sleep(0.8)
        click(FIRMWARE_ID_OK)  # the download reads the controller's memory from here on
        time.sleep(CLOSE_AFTER)

        message = ClientMessage(type=33, window=main_window(), format=32,
                                message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
        message.l[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        before = bytes_received()
        x11.XSendEvent(display, message.window, 0, 0, ctypes.byref(message))
        x11.XFlush(display)
        closed = time.monotonic()
        try:
            status = app.wait(timeout=30)
        except subprocess.TimeoutExpired:
            status = "still running 30 s after the close"
        ended = time.monotonic()
        time.sleep(0.5)
        print(f"bytes the simulator received before the close: {before}, "
              f"after it: {bytes_received() - before}")
        print(f"close to end of process: {1000 * (ended - closed):.1f} ms (exit status {status})")
    finally:
        for process in reversed(started):
            if process.poll() is None:
                process.terminate()
                process.wait()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
