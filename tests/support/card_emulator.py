#!/usr/bin/python3
# A camera card in a reader, for the tests and the benchmarks: a read-only FUSE view of a folder, mounted with
# direct_io so that every read of the program reaches it (none is served from the page cache), which can be slow,
# counts what is read and fails in the ways real cards and readers fail. Runs with the system's /usr/bin/python3,
# which Debian's python3-fusepy serves (module `fusepy`).
#
#   card_emulator.py mount SOURCE MOUNTPOINT CONTROL [--rate MBPS] [--flaky F] [--bad F] [--hold F]
#   card_emulator.py unmount MOUNTPOINT CONTROL
#
# `mount` returns once the card is mounted, its server running in the background; `unmount` releases held reads,
# unmounts and waits for the server to end, so that no mount is left behind. F is PATH@OFFSET[#N]: the fault
# applies to reads that cover byte OFFSET of the file PATH (below the card's root, "/DCIM/IMG_1.JPG"), from the
# Nth such read on:
#   --rate MBPS  reads, of all files together as through one reader, take at least their bytes / MBPS (10^6 B/s)
#   --flaky F    the byte reads inverted (N defaults to 2: the first read sees the true byte)
#   --bad F      the read fails with EIO (N defaults to 1)
#   --hold F     the read waits until the file CONTROL/release is there (N defaults to 1); CONTROL/held tells
#                that one waits
#   --keep-names SECONDS
#                the kernel keeps the names and attributes it looked up this long, as a card's file system keeps
#                its folders in memory, so that every look-up of a path does not reach the emulator (each costs
#                the emulator several calls into Python, about two thirds of the time of a bare read of small
#                files); a pulled card then still answers look-ups of the names kept. 0 (the default): every
#                look-up reaches it, and a pulled card fails them at once.
# The folder CONTROL is the test's side of the card:
#   counters     a line "bytes<TAB>path" appended after every read: a file's bytes read are the sum of its lines,
#                the card's the sum of all (appended, not rewritten: a card of 20,000 files would otherwise spend
#                more time writing its counters than reading)
#   pulled       once the test makes this file, every operation fails as on a removed card (ENODEV, reads EIO);
#                closing a file and asking for its extended attributes never reach the emulator (see getxattr)
#   release      lets held reads go
#   server.pid, server.log   the server's process and its messages
import argparse
import errno
import os
import signal
import stat
import subprocess
import sys
import threading
import time

try:
    from fusepy import FUSE, Operations
except ImportError:  # told by `mount`
    FUSE, Operations = None, object

# Another path only to see the message of a machine without FUSE.
FUSE_DEVICE = os.environ.get('CARD_EMULATOR_FUSE_DEVICE', '/dev/fuse')
SERVER_LOG = 'server.log'
SERVER_PID = 'server.pid'


def is_mounted(mountpoint):
    target = os.path.realpath(mountpoint)
    with open('/proc/mounts') as mounts:
        return any(line.split()[1] == target for line in mounts)


class Fault:
    """A fault on the reads that cover one byte of one file, from its `first`-th such read on."""

    def __init__(self, text, first):
        place, _, nth = text.partition('#')
        path, _, offset = place.rpartition('@')
        if not path.startswith('/') or not offset.isdigit():
            raise argparse.ArgumentTypeError(f'not PATH@OFFSET[#N]: {text}')
        self.path, self.offset, self.first = path, int(offset), int(nth) if nth else first
        self.reads = 0

    def hits(self, path, offset, size):
        """Counts a read; true when this one is faulty."""
        if path != self.path or not offset <= self.offset < offset + size:
            return False
        self.reads += 1
        return self.reads >= self.first


def fault(first):
    return lambda text: Fault(text, first)


def failure(code):
    return OSError(code, os.strerror(code))  # fusepy answers the operation with -code


class Card(Operations):
    """The card's answers to the operations of the file system."""

    use_ns = True

    def __init__(self, source, control, rate, flaky, bad, hold):
        self.source, self.control = os.path.realpath(source), control
        self.bytes_per_second = rate * 1e6 if rate else None
        self.flaky, self.bad, self.hold = flaky, bad, hold
        self.guard = threading.Lock()
        self.reader_free_at = time.monotonic()
        self.counters = os.open(self.control_file('counters'), os.O_WRONLY | os.O_APPEND)

    def control_file(self, name):
        return os.path.join(self.control, name)

    def check_present(self, error=errno.ENODEV):
        if os.path.exists(self.control_file('pulled')):
            raise failure(error)

    def real(self, path):
        return self.source + path

    # The operations a read-only folder needs.
    def getattr(self, path, fh=None):
        self.check_present()
        st = os.lstat(self.real(path))
        attributes = {key: getattr(st, key) for key in ('st_mode', 'st_nlink', 'st_size', 'st_uid', 'st_gid')}
        attributes.update({key: getattr(st, key + '_ns') for key in ('st_atime', 'st_mtime', 'st_ctime')})
        attributes['st_mode'] &= ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH)
        return attributes

    def readdir(self, path, fh):
        self.check_present()
        return ['.', '..'] + os.listdir(self.real(path))

    def statfs(self, path):
        self.check_present()
        st = os.statvfs(self.source)
        return {key: getattr(st, key) for key in
                ('f_bsize', 'f_frsize', 'f_blocks', 'f_bfree', 'f_bavail', 'f_files', 'f_ffree', 'f_namemax')}

    def open(self, path, flags):
        self.check_present()
        if flags & (os.O_WRONLY | os.O_RDWR):
            raise failure(errno.EROFS)
        return os.open(self.real(path), os.O_RDONLY)

    # Asked of every file a program queries or closes, and answered by a card's own file system without the card
    # (it has no extended attributes, and nothing to write when a file closes): "not implemented", so that the
    # kernel stops asking. Each would otherwise be a call into Python, which a card reader never costs: two
    # queries and two closes a file took a copy of 2,000 small files from about 5.4 s to about 4.1 s.
    def getxattr(self, path, name, position=0):
        raise failure(errno.ENOSYS)

    def flush(self, path, fh):
        raise failure(errno.ENOSYS)

    def release(self, path, fh):
        os.close(fh)
        return 0

    def read(self, path, size, offset, fh):
        self.check_present(errno.EIO)
        with self.guard:
            held = any(f.hits(path, offset, size) for f in self.hold)
            bad = any(f.hits(path, offset, size) for f in self.bad)
            flipped = [f.offset - offset for f in self.flaky if f.hits(path, offset, size)]
        if held:
            self.wait_for_release()
            self.check_present(errno.EIO)
        if bad:
            raise failure(errno.EIO)
        data = bytearray(os.pread(fh, size, offset))
        for at in flipped:
            if at < len(data):
                data[at] ^= 0xFF
        self.take_reader_time(len(data))
        self.count(path, len(data))
        return bytes(data)

    def wait_for_release(self):
        marker = self.control_file('held')
        open(marker, 'w').close()
        while not os.path.exists(self.control_file('release')):
            time.sleep(0.02)
        os.remove(marker)

    # One reader for all files: each read ends no sooner than the reads before it took their time. A reader idle
    # for less than IDLE_CREDIT seconds is not idle: the time between two reads (the system's and ours) is then
    # taken from the next one's, so that one program reading without pause gets the rate.
    IDLE_CREDIT = 0.05

    def take_reader_time(self, count):
        if not self.bytes_per_second:
            return
        with self.guard:
            self.reader_free_at = max(self.reader_free_at, time.monotonic() - self.IDLE_CREDIT)
            self.reader_free_at += count / self.bytes_per_second
            done_at = self.reader_free_at
        time.sleep(max(0.0, done_at - time.monotonic()))

    def count(self, path, count):
        os.write(self.counters, f'{count}\t{path}\n'.encode())  # one write of an appended file: never torn


def serve(arguments):
    card = Card(arguments.source, arguments.control, arguments.rate, arguments.flaky, arguments.bad,
                          arguments.hold)
    # Unless names are kept, nothing is kept by the kernel either: a pulled card fails every look-up at once.
    FUSE(card, arguments.mountpoint, foreground=True, ro=True, direct_io=True, fsname='korvane-card',
         attr_timeout=arguments.keep_names, entry_timeout=arguments.keep_names, negative_timeout=0)


def mount(arguments):
    if not os.path.exists(FUSE_DEVICE):
        sys.stderr.write(f'card emulator: this machine has no {FUSE_DEVICE}: the emulated card needs FUSE '
                         '(a container needs --device /dev/fuse)\n')
        return 1
    if FUSE is None:
        sys.stderr.write(f'card emulator: {sys.executable} has no module fusepy: run scripts/setup.sh '
                         '(Debian packages fuse3 and python3-fusepy)\n')
        return 1
    control = arguments.control
    os.makedirs(control, exist_ok=True)
    os.makedirs(arguments.mountpoint, exist_ok=True)
    for name in ('pulled', 'release', 'held', 'counters'):
        if os.path.exists(os.path.join(control, name)):
            os.remove(os.path.join(control, name))
    open(os.path.join(control, 'counters'), 'w').close()
    with open(os.path.join(control, SERVER_LOG), 'w') as log:
        server = subprocess.Popen([sys.executable, __file__, 'serve'] + sys.argv[2:], stdin=subprocess.DEVNULL,
                                  stdout=log, stderr=log, start_new_session=True)
    with open(os.path.join(control, SERVER_PID), 'w') as out:
        out.write(str(server.pid))
    for _ in range(200):
        if is_mounted(arguments.mountpoint):
            return 0
        if server.poll() is not None:
            break
        time.sleep(0.05)
    with open(os.path.join(control, SERVER_LOG)) as log:
        sys.stderr.write(f'card emulator: {arguments.mountpoint} was not mounted:\n{log.read()}')
    unmount(arguments)
    return 1


def unmount(arguments):
    open(os.path.join(arguments.control, 'release'), 'w').close()
    if is_mounted(arguments.mountpoint):
        if subprocess.run(['umount', arguments.mountpoint], stderr=subprocess.DEVNULL).returncode != 0:
            subprocess.run(['umount', '-l', arguments.mountpoint])  # a file still open on the card
    pid_file = os.path.join(arguments.control, SERVER_PID)
    if os.path.exists(pid_file):
        with open(pid_file) as pid_text:
            pid = int(pid_text.read())
        for _ in range(100):
            if not process_runs(pid):
                break
            time.sleep(0.05)
        else:
            os.kill(pid, signal.SIGKILL)
        os.remove(pid_file)
    if is_mounted(arguments.mountpoint):
        sys.stderr.write(f'card emulator: {arguments.mountpoint} is still mounted\n')
        return 1
    return 0


def process_runs(pid):
    try:
        os.waitpid(pid, os.WNOHANG)  # the server may be our child (the tests start and stop it themselves)
    except ChildProcessError:
        pass
    try:
        with open(f'/proc/{pid}/stat') as status:
            return status.read().split(') ')[-1][0] != 'Z'
    except FileNotFoundError:
        return False


def main():
    parser = argparse.ArgumentParser(description='A slow, counting and faulty camera card on FUSE.')
    commands = parser.add_subparsers(dest='command', required=True)
    for name in ('mount', 'serve'):
        command = commands.add_parser(name)
        command.add_argument('source')
        command.add_argument('mountpoint')
        command.add_argument('control')
        command.add_argument('--rate', type=float, help='MB/s (10^6 bytes a second) for all reads together')
        command.add_argument('--flaky', type=fault(2), action='append', default=[])
        command.add_argument('--bad', type=fault(1), action='append', default=[])
        command.add_argument('--hold', type=fault(1), action='append', default=[])
        command.add_argument('--keep-names', type=float, default=0, metavar='SECONDS')
    command = commands.add_parser('unmount')
    command.add_argument('mountpoint')
    command.add_argument('control')
    arguments = parser.parse_args()
    if arguments.command == 'serve':
        return serve(arguments)
    return {'mount': mount, 'unmount': unmount}[arguments.command](arguments)


if __name__ == '__main__':
    sys.exit(main())
