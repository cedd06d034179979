#!/usr/bin/python3
# The panel's side of the StatusNotifierItem protocol on the session bus,
# as KDE Plasma or GNOME's AppIndicator extension provide it.
#   sni_watcher.py watch [--flap SECONDS]
#                            the watcher, which like Plasma's (kded5's)
#                            always says a host is registered; prints
#                            "ready", then "registered SERVICE" and
#                            "unregistered SERVICE" as items come and go.
#                            With --flap it takes and lets go of its name
#                            every 50 ms for SECONDS first, then keeps it
#                            ("steady")
#   sni_watcher.py host      a host that is a program of its own, as
#                            Plasma's panel is: a bus name, registered with
#                            the watcher; prints "ready"
#   sni_watcher.py item-of PID
#                            the item that process PID has registered with
#                            the session's watcher (a real panel's), if any
#   sni_watcher.py silent    a watcher that never answers
#   sni_watcher.py broadcast N
#                            N StatusNotifierHostRegistered signals from a
#                            program that is not the watcher
#   sni_watcher.py describe SERVICE
#                            the item's tooltip title, then one line
#                            "icon WxH OPAQUE" per picture it offers
#   sni_watcher.py call SERVICE METHOD X Y
#                            Activate or ContextMenu at screen point X,Y
#   sni_watcher.py menu SERVICE
#                            the item's exported menu (com.canonical.dbusmenu)
#                            as a panel reads it: one line per entry,
#                            "separator", or the label and, for a check
#                            item, "[x]" or "[ ]" after it
#   sni_watcher.py click SERVICE LABEL
#                            chooses the entry with that label, as a panel
#                            does when the user clicks it in its own menu
# Qt uses the protocol only where the watcher says, through introspection,
# that a host is registered.
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
INTROSPECTION = """<node>
 <interface name="org.freedesktop.DBus.Introspectable">
  <method name="Introspect"><arg name="xml" type="s" direction="out"/></method>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
  <signal name="StatusNotifierHostUnregistered"/>
 </interface>
</node>"""


def say(line):
    print(line, flush=True)


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.items = {}  # service as registered -> its bus name
        bus.add_signal_receiver(self.owner_changed, signal_name="NameOwnerChanged",
                                dbus_interface="org.freedesktop.DBus")

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(sorted(self.items), signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names itself by its bus name or by its object path.
        name = sender if service.startswith("/") else service
        self.items[service] = name
        say("registered " + service)
        self.StatusNotifierItemRegistered(service)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    def owner_changed(self, name, old, new):
        if new:
            return
        for service, owner in list(self.items.items()):
            if name in (service, owner):
                del self.items[service]
                say("unregistered " + service)
                self.StatusNotifierItemUnregistered(service)


class Silent(dbus.service.Object):
    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v",
                         async_callbacks=("answer", "error"))
    def Get(self, interface, name, answer, error):
        pass  # never answered

    @dbus.service.signal(WATCHER)
    def StatusNotifierHostRegistered(self):
        pass


def flap(bus, seconds):
    # The name is let go of and taken again every 50 ms, then kept.
    ticks = [int(seconds * 20)]

    def toggle():
        ticks[0] -= 1
        if ticks[0] % 2:
            bus.release_name(WATCHER)
        else:
            bus.request_name(WATCHER)
        if ticks[0] > 0:
            return True
        say("steady")
        return False

    GLib.timeout_add(50, toggle)


def item(bus, service):
    name, _, path = service.partition("/")
    return bus.get_object(name, "/" + path if path else "/StatusNotifierItem")


def exported_menu(bus, service):
    path = item(bus, service).Get("org.kde.StatusNotifierItem", "Menu",
                                  dbus_interface="org.freedesktop.DBus.Properties")
    return bus.get_object(service.partition("/")[0], path)


def menu_entries(bus, service):
    menu = exported_menu(bus, service)
    menu.AboutToShow(0, dbus_interface="com.canonical.dbusmenu")
    _, (_, _, children) = menu.GetLayout(0, -1, [], dbus_interface="com.canonical.dbusmenu")
    return menu, [(int(child[0]), child[1]) for child in children]


def describe(bus, service):
    properties = item(bus, service).GetAll("org.kde.StatusNotifierItem",
                                           dbus_interface="org.freedesktop.DBus.Properties")
    icon_name, icon_pixmaps, title, _ = properties["ToolTip"]
    say("tooltip " + str(title))
    if properties.get("IconName"):
        say("icon-name " + str(properties["IconName"]))
    for width, height, argb in properties["IconPixmap"]:
        # ARGB in network byte order: the first of each four bytes is alpha.
        opaque = sum(1 for alpha in bytes(argb)[0::4] if alpha)
        size = "%dx%d" % (width, height) if len(argb) == 4 * width * height else "malformed"
        say("icon %s %d" % (size, opaque))


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    command = sys.argv[1]
    if command == "describe":
        describe(bus, sys.argv[2])
    elif command == "call":
        # A panel waits for the answer: it must come at once, not when the
        # window or menu is done with.
        getattr(item(bus, sys.argv[2]), sys.argv[3])(dbus.Int32(int(sys.argv[4])), dbus.Int32(int(sys.argv[5])),
                                                      dbus_interface="org.kde.StatusNotifierItem", timeout=2)
    elif command == "menu":
        for _, entry in menu_entries(bus, sys.argv[2])[1]:
            if entry.get("type") == "separator":
                say("separator")
            elif entry.get("toggle-type") == "checkmark":
                say("%s [%s]" % (entry.get("label"), "x" if entry.get("toggle-state") == 1 else " "))
            else:
                say(str(entry.get("label")))
    elif command == "click":
        menu, entries = menu_entries(bus, sys.argv[2])
        ids = [id for id, entry in entries if entry.get("label") == sys.argv[3]]
        if not ids:
            sys.exit("no entry " + sys.argv[3])
        menu.Event(ids[0], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   dbus_interface="com.canonical.dbusmenu", timeout=2)
    elif command == "item-of":
        watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
        daemon = bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
        for service in watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                                   dbus_interface="org.freedesktop.DBus.Properties"):
            name = service.partition("/")[0]
            try:
                pid = daemon.GetConnectionUnixProcessID(name, dbus_interface="org.freedesktop.DBus")
            except dbus.DBusException:
                continue
            if pid == int(sys.argv[2]):
                say(str(service))
                return
        sys.exit(1)
    elif command == "host":
        name = "org.kde.StatusNotifierHost-%d" % os.getpid()
        bus.request_name(name)
        bus.get_object(WATCHER, "/StatusNotifierWatcher").RegisterStatusNotifierHost(name, dbus_interface=WATCHER)
        say("ready")
        GLib.MainLoop().run()
    elif command == "silent":
        silent = Silent(bus, "/StatusNotifierWatcher")  # noqa: F841 (served while the loop runs)
        bus.request_name(WATCHER)
        say("ready")
        GLib.MainLoop().run()
    elif command == "broadcast":
        stranger = Silent(bus, "/StatusNotifierWatcher")
        for _ in range(int(sys.argv[2])):
            stranger.StatusNotifierHostRegistered()
        bus.flush()
    else:
        watcher = Watcher(bus)  # noqa: F841 (served while the loop runs)
        if command == "watch" and len(sys.argv) > 3 and sys.argv[2] == "--flap":
            flap(bus, float(sys.argv[3]))
        else:
            bus.request_name(WATCHER)
        say("ready")
        GLib.MainLoop().run()


main()
