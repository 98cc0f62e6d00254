"""A Firebird server of its own for a demo MARLO folder, as the race database server runs one.

Everything the server needs lies in FOLDER/server/: its configuration (firebird.conf with the
port, databases.conf, plugins.conf), its lock folder, its security database with the user and
password of the folder's MARLO.INI, its log and its process number. Nothing of the machine's own
Firebird configuration is read or changed, and no service manager is involved: the server is a
plain process of the caller, started in a session of its own and ended by --stop.
"""

import glob
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

SERVER_BINARY = "/usr/sbin/firebird"
SYSTEM_PLUGINS_CONF = "/etc/firebird/3.0/plugins.conf"
START_SECONDS = 20
STOP_SECONDS = 15

# What the package's plugins.conf holds; used when that file is not there.
PLUGINS_CONF = """Plugin = UDR {
\tModule = $(dir_plugins)/udr_engine
\tConfig = UDR_config
}
Config = UDR_config {
\tpath = $(dir_plugins)/udr
}
"""


def add_arguments(parser):
    parser.add_argument("--serve", action="store_true",
                        help="start a Firebird server for the folder's database (built first when missing) "
                             "and print the MARLO_DB text that reaches it")
    parser.add_argument("--stop", action="store_true", help="end the folder's Firebird server")
    parser.add_argument("--bind", default="127.0.0.1",
                        help="with --serve: the address the server listens on (default 127.0.0.1; "
                             "0.0.0.0 for other machines)")
    parser.add_argument("--port", type=int, default=0, help="with --serve: the port (default: a free one)")


def server_folder(folder):
    return os.path.join(os.path.abspath(folder), "server")


def database_path(folder):
    return os.path.join(os.path.abspath(folder), "DB", "MLDB.FDB")


def has_database(folder):
    return os.path.isfile(database_path(folder))


def fail(text):
    sys.stderr.write("marlo-demo: %s\n" % text)
    return 1


def running_pid(folder):
    """The process number of the folder's server when it still runs, else None.

    A process number alone could have been reused by another program since: it counts only when
    that process is the server binary started with this folder's configuration."""
    server = server_folder(folder)
    try:
        with open(os.path.join(server, "firebird.pid")) as f:
            pid = int(f.read().strip())
        if os.path.realpath("/proc/%d/exe" % pid) != os.path.realpath(SERVER_BINARY):
            return None
        with open("/proc/%d/environ" % pid, "rb") as f:
            environment = f.read().split(b"\0")
    except (OSError, ValueError):
        return None
    return pid if ("FIREBIRD=" + server).encode() in environment else None


def read_marlo_ini(folder):
    """[FB] USER and PSWD of the folder's MARLO.INI, with the defaults of a missing file or key."""
    user, password, section = "SYSDBA", "fjordlamp", ""
    try:
        with open(os.path.join(os.path.abspath(folder), "MARLO.INI"), "rb") as f:
            lines = f.read().decode("cp932").splitlines()
    except OSError:
        lines = []
    for line in lines:
        line = line.strip()
        if line.startswith("["):
            section = line[1:line.find("]")].strip().upper()
        elif section == "FB" and "=" in line:
            key, value = line.split("=", 1)
            if key.strip().upper() == "USER":
                user = value.strip()
            elif key.strip().upper() == "PSWD":
                password = value.strip()
    return user, password


def sql_text(value):
    return "'" + value.replace("'", "''") + "'"


def sql_name(value):
    return '"' + value.upper().replace('"', '""') + '"'


def free_port(address):
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind((address, 0))
        return s.getsockname()[1]


def firebird_library_folder():
    """The folder holding the engine's character-set module and message file."""
    found = sorted(glob.glob("/usr/lib/*/firebird/3.0"))
    return found[0] if found else None


def server_environment(server):
    environment = dict(os.environ)
    environment["FIREBIRD"] = server
    environment["FIREBIRD_LOCK"] = os.path.join(server, "lock")
    environment["FIREBIRD_MSG"] = server
    return environment


def write_configuration(folder, server, bind, port):
    os.makedirs(os.path.join(server, "lock"), exist_ok=True)
    settings = [
        "# Written by marlo-demo --serve; read only by the server started with FIREBIRD=%s" % server,
        "RemoteServicePort = %d" % port,
        "RemoteBindAddress = %s" % bind,
        "SecurityDatabase = %s" % os.path.join(server, "security3.fdb"),
        "ServerMode = Super",
        # The server opens the folder's databases and nothing else.
        "DatabaseAccess = Restrict %s" % os.path.join(os.path.abspath(folder), "DB"),
        "",
    ]
    with open(os.path.join(server, "firebird.conf"), "w") as f:
        f.write("\n".join(settings))
    with open(os.path.join(server, "databases.conf"), "w") as f:
        f.write("")
    try:
        with open(SYSTEM_PLUGINS_CONF) as f:
            plugins = f.read()
    except OSError:
        plugins = PLUGINS_CONF
    with open(os.path.join(server, "plugins.conf"), "w") as f:
        f.write(plugins)
    # The engine looks for its character sets and messages below the configuration folder. The
    # character-set module must be a real file there: through a link it loads but serves nothing.
    library = firebird_library_folder()
    intl = os.path.join(server, "intl")
    os.makedirs(intl, exist_ok=True)
    if library:
        for name in ("fbintl.conf", "libfbintl.so"):
            source = os.path.join(library, "intl", name)
            if os.path.exists(source):
                shutil.copyfile(source, os.path.join(intl, name))
        message_link = os.path.join(server, "firebird.msg")
        if os.path.lexists(message_link):
            os.unlink(message_link)
        os.symlink(os.path.join(library, "firebird.msg"), message_link)


def create_security_database(server, user, password):
    """A fresh security database holding SYSDBA and the MARLO.INI user, both with its password."""
    security = os.path.join(server, "security3.fdb")
    if os.path.exists(security):
        os.unlink(security)
    users = ["SYSDBA"] + ([user] if user.upper() != "SYSDBA" else [])
    lines = ["SET BAIL ON;", "CREATE DATABASE %s;" % sql_text(security)]
    for name in users:
        lines.append("CREATE USER %s PASSWORD %s USING PLUGIN Srp;" % (sql_name(name), sql_text(password)))
    lines.append("COMMIT;")
    # The password goes through a file only the caller can read, never through a command line.
    fd, script = tempfile.mkstemp(prefix=".security-", suffix=".sql", dir=server)
    try:
        with os.fdopen(fd, "w") as f:
            f.write("\n".join(lines) + "\n")
        result = subprocess.run(["isql-fb", "-q", "-user", "SYSDBA", "-i", script], capture_output=True, text=True,
                                env=server_environment(server))
    finally:
        os.unlink(script)
    if result.returncode != 0 or "Statement failed" in result.stdout + result.stderr:
        return fail("cannot create the server's security database:\n" + result.stdout + result.stderr)
    return 0


def wait_until_listening(process, bind, port, log):
    address = "127.0.0.1" if bind in ("0.0.0.0", "") else bind
    deadline = time.monotonic() + START_SECONDS
    while time.monotonic() < deadline:
        if process.poll() is not None:
            with open(log, errors="replace") as f:
                return fail("the Firebird server ended at once:\n" + f.read()[-2000:])
        try:
            with socket.create_connection((address, port), timeout=1):
                return 0
        except OSError:
            time.sleep(0.1)
    process.terminate()
    process.wait()
    return fail("the Firebird server did not listen on port %d within %d seconds" % (port, START_SECONDS))


def connection_text(folder, bind, port):
    host = socket.gethostname() if bind in ("0.0.0.0", "") else bind
    return "%s/%d:%s" % (host, port, database_path(folder))


def serve(folder, bind, port):
    """Starts the folder's server and prints the MARLO_DB line; the folder's database must exist."""
    if not os.access(SERVER_BINARY, os.X_OK):
        return fail("%s not found (package firebird3.0-server)" % SERVER_BINARY)
    if running_pid(folder):
        return fail("a server for %s is already running; end it with --stop" % folder)
    server = server_folder(folder)
    os.makedirs(server, exist_ok=True)
    port = port or free_port(bind if bind not in ("", "0.0.0.0") else "127.0.0.1")
    write_configuration(folder, server, bind, port)
    user, password = read_marlo_ini(folder)
    if create_security_database(server, user, password) != 0:
        return 1
    log = os.path.join(server, "server.log")
    with open(log, "w") as out:
        process = subprocess.Popen([SERVER_BINARY], cwd=server, env=server_environment(server),
                                   stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                   start_new_session=True)
    with open(os.path.join(server, "firebird.pid"), "w") as f:
        f.write("%d\n" % process.pid)
    if wait_until_listening(process, bind, port, log) != 0:
        return 1
    print("MARLO_DB=%s" % connection_text(folder, bind, port))
    sys.stdout.flush()
    return 0


def stop(folder):
    pid = running_pid(folder)
    pid_file = os.path.join(server_folder(folder), "firebird.pid")
    if not pid:
        if os.path.exists(pid_file):
            os.unlink(pid_file)
        sys.stderr.write("marlo-demo: no server is running for %s\n" % folder)
        return 0
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + STOP_SECONDS
    while time.monotonic() < deadline and running_pid(folder) == pid:
        time.sleep(0.1)
    if running_pid(folder) == pid:
        os.kill(pid, signal.SIGKILL)
        while running_pid(folder) == pid:
            time.sleep(0.1)
    os.unlink(pid_file)
    print("marlo-demo: server for %s stopped" % folder)
    return 0
