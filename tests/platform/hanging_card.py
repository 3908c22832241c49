#!/usr/bin/python3
# A card reader that stops answering: a FUSE file system whose "a.jpg" (8 KiB) reads, and whose "hang.jpg"
# (4 MiB) opens but whose reads answer only after 5 seconds, with an I/O error (a read that never returned would
# keep the process that made it from ending under Wine).
#   hanging_card.py <mount point>
import errno
import stat
import sys
import time

from fusepy import FUSE, Operations

FILES = {'/a.jpg': 8 << 10, '/hang.jpg': 4 << 20}


class HangingCard(Operations):
    def getattr(self, path, fh=None):
        if path == '/':
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2)
        if path in FILES:
            return dict(st_mode=stat.S_IFREG | 0o444, st_nlink=1, st_size=FILES[path], st_mtime=1700000000)
        raise OSError(errno.ENOENT, '')

    def readdir(self, path, fh):
        return ['.', '..'] + [name[1:] for name in FILES]

    def read(self, path, size, offset, fh):
        if path == '/hang.jpg':
            time.sleep(5)
            raise OSError(errno.EIO, '')
        return bytes((offset + i) % 251 for i in range(min(size, max(0, FILES[path] - offset))))


if __name__ == '__main__':
    FUSE(HangingCard(), sys.argv[1], foreground=True, direct_io=True, nothreads=False)
