// Flushing a file to disk under Node.js. Emscripten's own fsync does nothing on the host's files, which would
// leave a save renamed into place before its bytes reached the disk; this one asks the host to flush.
mergeInto(LibraryManager.library, {
  fd_sync__deps: ['$SYSCALLS'],
  fd_sync__sig: 'ii',
  fd_sync: function (fd) {
    try {
      require('fs').fsyncSync(SYSCALLS.getStreamFromFD(fd).nfd);
      return 0;
    } catch (error) {
      return {{{ cDefine('EIO') }}};
    }
  },
});
