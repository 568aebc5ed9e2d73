#!/usr/bin/env python3
"""A read-only FUSE view of a folder whose files report their change time as their
modification time, as vfat, exFAT and many FUSE file systems do: a file copied over
with its times put back then keeps its whole stamp.

    stamp_passthrough.py BACKING MOUNTPOINT     (runs until unmounted)
"""
import errno
import os
import sys

try:
    from fusepy import FUSE, FuseOSError, Operations  # Debian's name for it
except ImportError:
    from fuse import FUSE, FuseOSError, Operations


class StampPassthrough(Operations):
    def __init__(self, backing):
        self.backing = backing

    def _path(self, path):
        return os.path.join(self.backing, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._path(path))
        except OSError as error:
            raise FuseOSError(error.errno)
        attributes = {key: getattr(st, key) for key in (
            "st_mode", "st_nlink", "st_uid", "st_gid", "st_size", "st_atime", "st_mtime")}
        attributes["st_ctime"] = st.st_mtime
        return attributes

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def open(self, path, flags):
        if flags & (os.O_WRONLY | os.O_RDWR):
            raise FuseOSError(errno.EROFS)
        return os.open(self._path(path), os.O_RDONLY)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def release(self, path, fh):
        os.close(fh)


if __name__ == "__main__":
    FUSE(StampPassthrough(sys.argv[1]), sys.argv[2], foreground=True, ro=True, nothreads=True)
