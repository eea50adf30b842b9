#!/usr/bin/python3
# A stand-in for the KDE Plasma shell on the session bus: it owns org.kde.plasmashell and
# records every script sent to /PlasmaShell's evaluateScript into RECORD (one file per call:
# RECORD.1, RECORD.2 ...). With --locked it answers as a shell whose scripting is locked.
import sys

from gi.repository import Gio, GLib

INTERFACE = """<node><interface name="org.kde.PlasmaShell">
  <method name="evaluateScript"><arg type="s" direction="in"/><arg type="s" direction="out"/></method>
</interface></node>"""

record = sys.argv[1]
locked = "--locked" in sys.argv[2:]
calls = 0


def on_call(connection, sender, path, interface, method, parameters, invocation):
    global calls
    calls += 1
    with open(f"{record}.{calls}", "w", encoding="utf-8") as out:
        out.write(parameters.unpack()[0])
    if locked:
        invocation.return_dbus_error("org.kde.PlasmaShell.Error", "Widgets are locked")
    else:
        invocation.return_value(GLib.Variant("(s)", ("",)))


def on_bus(connection, name):
    node = Gio.DBusNodeInfo.new_for_xml(INTERFACE)
    connection.register_object("/PlasmaShell", node.interfaces[0], on_call, None, None)


def on_name(connection, name):
    open(f"{record}.ready", "w").close()


Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.plasmashell", Gio.BusNameOwnerFlags.NONE,
                 on_bus, on_name, lambda *args: sys.exit(1))
GLib.MainLoop().run()
