// Path functions. Both '/' and '\' separate; paths are normalised lexically.
#pragma once

#include "VyBase600/TovoMBString.h"
#include "VyStream600/VyStream600_export.h"

namespace KRS {

class VYSTREAM600_EXPORT KrFile {
public:
    // The directory part, with its trailing separator ("a/b/c.png" gives "a/b/"); empty when none.
    static TOVO::TovoMBString GetDir(const TOVO::TovoMBString& strPath);
    // The file-name part ("a/b/c.png" gives "c.png").
    static TOVO::TovoMBString GetName(const TOVO::TovoMBString& strPath);
    // The directory expressed relative to the base path. A base path naming an existing directory
    // or ending with a separator is a directory; otherwise its directory part is the base.
    // A directory that is already relative, or an empty base, is returned unchanged.
    // The result ends with a separator unless it is empty. A base that is itself relative, or
    // on another drive, cannot be related: the directory comes back unchanged (normalised when
    // the drive differs).
    static TOVO::TovoMBString GetRelativePath(const TOVO::TovoMBString& strBase,
                                              const TOVO::TovoMBString& strDir);
    // The relative path made absolute against the base (same base rule) and normalised; an
    // absolute path, or an empty base, is returned unchanged; an empty relative path gives the
    // base's directory.
    static TOVO::TovoMBString GetAbsolutePath(const TOVO::TovoMBString& strBase,
                                              const TOVO::TovoMBString& strRel);
    static bool IsAbsolute(const TOVO::TovoMBString& strPath);
    static bool IsDirectory(const TOVO::TovoMBString& strPath);
    static bool IsExist(const TOVO::TovoMBString& strPath);
};

} // namespace KRS
