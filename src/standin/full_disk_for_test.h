// A disk that fills up on demand, for tests of what a full disk does to the hives: while it is
// in place, SQLite's default file system is wrapped so that every write into a file fails as
// it fails on a full disk (SQLITE_FULL), until the space is given back. Test-only.
#ifndef TARNWICK_STANDIN_FULL_DISK_FOR_TEST_H_
#define TARNWICK_STANDIN_FULL_DISK_FOR_TEST_H_

#include <sqlite3.h>

#include <atomic>

namespace tarnwick {

class FullDisk {
 public:
  /// Becomes SQLite's default file system for the files opened from now on.
  FullDisk() {
    real_ = sqlite3_vfs_find(nullptr);
    vfs_ = *real_;
    vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
    vfs_.zName = "tarnwick-full-disk";
    vfs_.pAppData = this;
    vfs_.xOpen = &Open;
    // The real file system's own functions get the real file system, whose data they use.
    vfs_.xDelete = [](sqlite3_vfs* v, const char* name, int sync) {
      return RealOf(v)->xDelete(RealOf(v), name, sync);
    };
    vfs_.xAccess = [](sqlite3_vfs* v, const char* name, int flags, int* out) {
      return RealOf(v)->xAccess(RealOf(v), name, flags, out);
    };
    vfs_.xFullPathname = [](sqlite3_vfs* v, const char* name, int n, char* out) {
      return RealOf(v)->xFullPathname(RealOf(v), name, n, out);
    };
    vfs_.xRandomness = [](sqlite3_vfs* v, int n, char* out) {
      return RealOf(v)->xRandomness(RealOf(v), n, out);
    };
    vfs_.xSleep = [](sqlite3_vfs* v, int micros) { return RealOf(v)->xSleep(RealOf(v), micros); };
    vfs_.xCurrentTime = [](sqlite3_vfs* v, double* out) {
      return RealOf(v)->xCurrentTime(RealOf(v), out);
    };
    vfs_.xGetLastError = [](sqlite3_vfs* v, int n, char* out) {
      return RealOf(v)->xGetLastError(RealOf(v), n, out);
    };
    vfs_.xCurrentTimeInt64 = [](sqlite3_vfs* v, sqlite3_int64* out) {
      return RealOf(v)->xCurrentTimeInt64(RealOf(v), out);
    };
    vfs_.xDlOpen = nullptr;  // no extensions are loaded
    vfs_.xDlError = nullptr;
    vfs_.xDlSym = nullptr;
    vfs_.xDlClose = nullptr;
    sqlite3_vfs_register(&vfs_, /*makeDflt=*/1);
  }
  ~FullDisk() {
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(real_, /*makeDflt=*/1);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  /// From now on every write fails (true) or goes through again (false).
  void Fill(bool full) { full_ = full; }

 private:
  // The wrapping file, followed in memory by the real file system's own.
  struct File {
    sqlite3_file base;
    FullDisk* disk;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
  };
  static sqlite3_vfs* RealOf(sqlite3_vfs* vfs) {
    return static_cast<FullDisk*>(vfs->pAppData)->real_;
  }
  static File* Of(sqlite3_file* file) { return reinterpret_cast<File*>(file); }
  static sqlite3_file* Real(sqlite3_file* file) { return Of(file)->real(); }

  static int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags,
                  int* out_flags) {
    auto* disk = static_cast<FullDisk*>(vfs->pAppData);
    File* wrapper = Of(file);
    wrapper->base.pMethods = nullptr;
    wrapper->disk = disk;
    const int rc = disk->real_->xOpen(disk->real_, name, wrapper->real(), flags, out_flags);
    if (wrapper->real()->pMethods != nullptr) wrapper->base.pMethods = disk->Methods();
    return rc;
  }

  const sqlite3_io_methods* Methods() {
    static const sqlite3_io_methods methods = {
        3,
        [](sqlite3_file* f) {
          const int rc = Real(f)->pMethods->xClose(Real(f));
          f->pMethods = nullptr;
          return rc;
        },
        [](sqlite3_file* f, void* buf, int n, sqlite3_int64 at) {
          return Real(f)->pMethods->xRead(Real(f), buf, n, at);
        },
        [](sqlite3_file* f, const void* buf, int n, sqlite3_int64 at) {
          if (Of(f)->disk->full_) return SQLITE_FULL;
          return Real(f)->pMethods->xWrite(Real(f), buf, n, at);
        },
        [](sqlite3_file* f, sqlite3_int64 size) {
          return Real(f)->pMethods->xTruncate(Real(f), size);
        },
        [](sqlite3_file* f, int flags) { return Real(f)->pMethods->xSync(Real(f), flags); },
        [](sqlite3_file* f, sqlite3_int64* size) {
          return Real(f)->pMethods->xFileSize(Real(f), size);
        },
        [](sqlite3_file* f, int lock) { return Real(f)->pMethods->xLock(Real(f), lock); },
        [](sqlite3_file* f, int lock) { return Real(f)->pMethods->xUnlock(Real(f), lock); },
        [](sqlite3_file* f, int* out) {
          return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
        },
        [](sqlite3_file* f, int op, void* arg) {
          return Real(f)->pMethods->xFileControl(Real(f), op, arg);
        },
        [](sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); },
        [](sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); },
        [](sqlite3_file* f, int page, int size, int extend, void volatile** out) {
          return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
        },
        [](sqlite3_file* f, int offset, int n, int flags) {
          return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
        },
        [](sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); },
        [](sqlite3_file* f, int remove) { return Real(f)->pMethods->xShmUnmap(Real(f), remove); },
        // No memory-mapped reads: every page comes through xRead.
        [](sqlite3_file*, sqlite3_int64, int, void** out) {
          *out = nullptr;
          return SQLITE_OK;
        },
        [](sqlite3_file*, sqlite3_int64, void*) { return SQLITE_OK; },
    };
    return &methods;
  }

  sqlite3_vfs* real_ = nullptr;
  sqlite3_vfs vfs_ = {};
  std::atomic<bool> full_{false};
};

}  // namespace tarnwick

#endif  // TARNWICK_STANDIN_FULL_DISK_FOR_TEST_H_
