// Replacing a file (the last step of every atomic save) waits until the page has put the new content in the
// browser's storage: the save counts as done only once the storage holds it, and when the storage refuses, the
// old file stays and the core hears of the failure as of a full disk. The page decides which files it keeps
// (Module.services.keep resolves at once for the others).
mergeInto(LibraryManager.library, {
  __syscall_rename__deps: ['$SYSCALLS', '$FS', '$Asyncify'],
  __syscall_rename__sig: 'iii',
  __syscall_rename: function (oldpath, newpath) {
    var from = SYSCALLS.getStr(oldpath);
    var to = SYSCALLS.getStr(newpath);
    return Asyncify.handleAsync(async function () {
      try {
        await Module.services.keep(to, FS.readFile(from));
      } catch (refused) {
        return refused && refused.name === 'QuotaExceededError' ? -{{{ cDefine('ENOSPC') }}} : -{{{ cDefine('EIO') }}};
      }
      try {
        FS.rename(from, to);
      } catch (error) {
        if (!(error instanceof FS.ErrnoError)) throw error;
        return -error.errno;
      }
      Module.services.kept(to);
      return 0;
    });
  },
});
