#!/usr/bin/python3
"""Debian's exim on loopback for the tests: a strict, real mail server with a folder of its own.

Writes its configuration into DIR and runs exim in the foreground with it. Prints the port it
listens on as the first line of its output (with --implicit-port, the implicit-TLS port as the
second), then serves until killed. Everything exim keeps is inside DIR:
  DIR/exim.conf    the configuration
  DIR/mail/new/    the delivered letters, one file per recipient (maildir, CR LF lines)
  DIR/log/mainlog  the main log; DIR/log/rejectlog the reject log; DIR/log/paniclog
  DIR/spool/       the queue, empty again once a letter is delivered

The server takes any recipient under any domain and delivers at once. It offers PIPELINING and
CHUNKING to every host and keeps exim's enforcement of SMTP synchronization (a client that sends
ahead where it must wait gets "554 SMTP synchronization error").
  --auth USER:PASS        AUTH PLAIN and LOGIN for this one user, and no letter without it
  --tls-cert CERT --tls-key KEY
                          offer STARTTLS; AUTH is then offered only after it, as providers do
  --implicit-port         with TLS: also listen with TLS from the first byte on a second port

Needs root: exim starts a daemon with a configuration of its own only for root. Even then it
takes letters and delivers them as its own user (Debian-exim: a -C configuration costs the
delivery its privilege, and exim never delivers as root), so that user owns the folders.

Ending this program (SIGTERM) ends every exim process it started before it exits, so the
folder can go as soon as it has; SIGKILL ends the listening daemon at least.
"""
import argparse
import ctypes
import os
import pwd
import re
import shutil
import signal
import socket
import subprocess
import sys
import time

EXIM = "/usr/sbin/exim4"
EXIM_USER = "Debian-exim"
PR_SET_PDEATHSIG = 1
PR_SET_CHILD_SUBREAPER = 36
libc = ctypes.CDLL(None, use_errno=True)


def parse():
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--auth", help="USER:PASS")
    p.add_argument("--tls-cert")
    p.add_argument("--tls-key")
    p.add_argument("--implicit-port", action="store_true")
    o = p.parse_args()
    if bool(o.tls_cert) != bool(o.tls_key):
        p.error("--tls-cert and --tls-key go together")
    if o.implicit_port and not o.tls_cert:
        p.error("--implicit-port needs --tls-cert and --tls-key")
    if o.auth is not None and (":" not in o.auth or re.search(r"[\r\n]", o.auth)):
        p.error("--auth takes USER:PASS on one line")
    if re.search(r"[:\s]", os.path.abspath(o.dir)):
        p.error("the folder's path must have no colon or white space: exim's lists and options would split it")
    return o


def expansion_literal(text):
    """Text that exim's string expansion gives back as it is."""
    return re.sub(r"([\\${}])", r"\\\1", text)


def configuration(o, folder, tls, implicit_port):
    """exim's configuration: what the module's docstring promises, and nothing that waits."""
    lines = [
        "# Written by tests/exim_server.py for one test; removed with its folder.",
        "primary_hostname = localhost",
        "qualify_domain = localhost",
        "local_interfaces = 127.0.0.1",
        "disable_ipv6 = true",
        "spool_directory = %s/spool" % folder,
        "log_file_path = %s/log/%%slog" % folder,
        "pid_file_path = %s/exim.pid" % folder,
        "log_selector = +smtp_protocol_error +smtp_syntax_error +pipelining +received_recipients",
        "keep_environment =",
        # A port taken meanwhile is an error at once (the caller tries another), not 9 tries 30 s apart.
        "daemon_startup_retries = 0",
        # No lookup that stalls offline: the caller's name, its ident, its HELO name.
        "host_lookup =",
        "rfc1413_hosts =",
        "rfc1413_query_timeout = 0s",
        "helo_lookup_domains =",
        # Every letter delivered at once, however many come over one connection.
        "queue_only = false",
        "smtp_accept_queue_per_connection = 0",
        "pipelining_advertise_hosts = *",
        # Early pipelining would let a client speak before the greeting: not here.
        "pipelining_connect_advertise_hosts =",
        "chunking_advertise_hosts = *",
        "smtp_enforce_sync = true",
        "acl_smtp_rcpt = check_recipient",
    ]
    if tls:
        lines += [
            "tls_advertise_hosts = *",
            "tls_certificate = %s" % tls[0],
            "tls_privatekey = %s" % tls[1],
            # As providers do: no password before the channel is secure.
            "auth_advertise_hosts = ${if def:tls_in_cipher {*}{}}",
        ]
        if implicit_port:
            lines.append("tls_on_connect_ports = %d" % implicit_port)
    else:
        lines += ["tls_advertise_hosts =", "auth_advertise_hosts = *"]

    lines += ["", "begin acl", "", "check_recipient:"]
    if o.auth is not None:
        lines += ["  deny message = 5.7.1 Authentication required", "       !authenticated = *"]
    lines += ["  accept", ""]

    lines += [
        "begin routers", "",
        "everyone:", "  driver = accept", "  transport = to_folder", "",
        "begin transports", "",
        "to_folder:",
        "  driver = appendfile",
        "  directory = %s/mail" % folder,
        "  maildir_format",
        # The letter as it came, with CR LF line ends: the tests compare it with what was sent.
        "  use_crlf",
        "  envelope_to_add",
        "  return_path_add",
        "  mode = 0644",
        "  user = %s" % EXIM_USER,
        "",
        "begin retry", "", "* * F,1m,1m", "",
        "begin authenticators", "",
    ]
    if o.auth is not None:
        user, password = (expansion_literal(t) for t in o.auth.split(":", 1))
        lines += [
            "plain:",
            "  driver = plaintext",
            "  public_name = PLAIN",
            "  server_prompts = :",
            "  server_condition = ${if and {{eq{$auth2}{%s}}{eq{$auth3}{%s}}}}" % (user, password),
            "  server_set_id = $auth2",
            "",
            "login:",
            "  driver = plaintext",
            "  public_name = LOGIN",
            "  server_prompts = Username:: : Password::",
            "  server_condition = ${if and {{eq{$auth1}{%s}}{eq{$auth2}{%s}}}}" % (user, password),
            "  server_set_id = $auth1",
            "",
        ]
    return "\n".join(lines) + "\n"


def prepare_folder(o):
    """The folders exim writes, owned by the user it runs as after taking a connection."""
    folder = os.path.abspath(o.dir)
    os.makedirs(folder, exist_ok=True)
    for sub in ("spool", "log", "mail", "tls"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    tls = None
    if o.tls_cert:
        # A copy exim's user may read, whoever owns the originals.
        tls = (os.path.join(folder, "tls", "cert.pem"), os.path.join(folder, "tls", "key.pem"))
        shutil.copyfile(o.tls_cert, tls[0])
        shutil.copyfile(o.tls_key, tls[1])
        os.chmod(tls[1], 0o600)
    entry = pwd.getpwnam(EXIM_USER)
    # exim's user must reach into the folder, and owns what is inside.
    os.chmod(folder, os.stat(folder).st_mode | 0o711)
    for sub in ("spool", "log", "mail", "tls"):
        for root, dirs, files in os.walk(os.path.join(folder, sub)):
            for path in [root] + [os.path.join(root, name) for name in files]:
                os.chown(path, entry.pw_uid, entry.pw_gid)
    return folder, tls


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def on_parent_death():
    # Should this program be killed outright, the daemon goes with it and frees the port.
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def start(o, folder, tls):
    """exim listening on free ports: (process, ports); a port taken meanwhile is tried again."""
    conf = os.path.join(folder, "exim.conf")
    mainlog = os.path.join(folder, "log", "mainlog")
    for attempt in range(20):
        ports = [free_port()]
        if o.implicit_port:
            ports.append(free_port())
            if ports[1] == ports[0]:
                continue
        with open(conf, "w") as f:
            f.write(configuration(o, folder, tls, ports[1] if o.implicit_port else None))
        logged = len(read(mainlog))
        command = [EXIM, "-C", conf, "-bdf", "-oX", ":".join(str(p) for p in ports)]
        with open(os.path.join(folder, "log", "stderr"), "ab") as errors:
            process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=errors, stderr=errors,
                                       preexec_fn=on_parent_death)
        deadline = time.monotonic() + 10
        while b"daemon started" not in read(mainlog)[logged:]:  # said once every socket listens
            if process.poll() is not None:
                break
            if time.monotonic() > deadline:
                process.kill()
                process.wait()
                sys.exit("exim did not start listening within 10 s; see %s/log" % folder)
            time.sleep(0.01)
        else:
            return process, ports
        said = read(mainlog)[logged:] + read(os.path.join(folder, "log", "paniclog")) + read(os.path.join(folder, "log", "stderr"))
        if b"Address already in use" not in said:
            sys.exit("exim did not start (exit %s): %s" % (process.returncode, said.decode(errors="replace")))
    sys.exit("exim found no free port")


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return b""


def children():
    mine = os.getpid()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                stat = f.read()
        except OSError:
            continue
        if int(stat[stat.rindex(")") + 2:].split()[1]) == mine:
            found.append(int(entry))
    return found


def end_everything():
    """Ends the daemon and every process it left: as the reaper of orphans here, they all come to us."""
    while True:
        left = children()
        if not left:
            return
        for pid in left:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        for _ in left:
            try:
                os.waitpid(-1, 0)
            except ChildProcessError:
                break


class Stop(Exception):
    pass


def main():
    o = parse()
    if os.geteuid() != 0:
        sys.exit("exim_server.py needs root: exim runs a daemon with a configuration of its own only for root")
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1) != 0:
        sys.exit("cannot become the reaper of exim's processes")
    folder, tls = prepare_folder(o)
    daemon, ports = start(o, folder, tls)

    def stop(signum, frame):
        raise Stop()

    # Before the ports are out: from then on the caller may end this program at any moment.
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    try:
        sys.stdout.write("".join("%d\n" % p for p in ports))
        sys.stdout.flush()
        while True:
            # exim's delivery processes outlive their parents and come here to be reaped.
            pid, _ = os.waitpid(-1, 0)
            if pid == daemon.pid:
                sys.exit("exim's daemon ended; see %s/log" % folder)
    except Stop:
        pass
    finally:
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        end_everything()


if __name__ == "__main__":
    main()
