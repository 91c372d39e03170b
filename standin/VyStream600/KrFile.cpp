#include "VyStream600/KrFile.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

using TOVO::TovoMBString;

namespace KRS {

namespace {

bool IsSep(char c) {
    return c == '/' || c == '\\';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool EndsWithSep(const std::string& s) {
    return !s.empty() && IsSep(s.back());
}

// A path taken apart lexically: its root ("", "/", "//" for a network path, "C:/"), its
// components with "." and ".." resolved, and whether it names a directory by its form.
struct PathParts {
    std::string strRoot;
    std::vector<std::string> arrParts;
    bool bDirectory = false;
    char chSep = '/'; // the separator the path itself uses first
};

std::size_t RootLength(const std::string& s) {
    if (s.size() >= 3 && IsAsciiLetter(s[0]) && s[1] == ':' && IsSep(s[2]))
        return 3;
    if (s.size() >= 2 && IsSep(s[0]) && IsSep(s[1]))
        return 2;
    if (!s.empty() && IsSep(s[0]))
        return 1;
    return 0;
}

void AddPart(PathParts& p, const std::string& part) {
    if (part.empty() || part == ".")
        return;
    if (part != "..")
        p.arrParts.push_back(part);
    else if (!p.arrParts.empty() && p.arrParts.back() != "..")
        p.arrParts.pop_back();
    else if (p.strRoot.empty()) // above the root there is nothing to step to
        p.arrParts.push_back(part);
}

PathParts Split(const std::string& s) {
    PathParts p;
    for (char c : s)
        if (IsSep(c)) {
            p.chSep = c;
            break;
        }
    const std::size_t nRoot = RootLength(s);
    p.strRoot = s.substr(0, nRoot);
    std::string part;
    std::string last;
    for (std::size_t i = nRoot; i <= s.size(); ++i) {
        if (i == s.size() || IsSep(s[i])) {
            if (!part.empty())
                last = part;
            AddPart(p, part);
            part.clear();
        } else {
            part += s[i];
        }
    }
    p.bDirectory = EndsWithSep(s) || last == "." || last == "..";
    return p;
}

std::string Join(const PathParts& p) {
    std::string s = p.strRoot;
    for (std::size_t i = 0; i < p.arrParts.size(); ++i) {
        if (i > 0)
            s += p.chSep;
        s += p.arrParts[i];
    }
    if (p.bDirectory && !p.arrParts.empty())
        s += p.chSep;
    return s;
}

// Roots match whatever their separators, and drive letters whatever their case.
std::string RootKey(const std::string& strRoot) {
    std::string key = strRoot;
    for (char& c : key) {
        if (c == '\\')
            c = '/';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

std::string Normalise(const std::string& s) {
    return Join(Split(s));
}

// The directory the base path stands for, with its trailing separator.
std::string BaseDir(const TovoMBString& strBase) {
    const std::string& s = strBase.Str();
    if (EndsWithSep(s))
        return s;
    if (KrFile::IsDirectory(strBase))
        return s + Split(s).chSep;
    return KrFile::GetDir(strBase).Str();
}

std::size_t LastSep(const std::string& s) {
    return s.find_last_of("/\\");
}

} // namespace

TovoMBString KrFile::GetDir(const TovoMBString& strPath) {
    const std::size_t n = LastSep(strPath.Str());
    return n == std::string::npos ? TovoMBString() : TovoMBString(strPath.Str().substr(0, n + 1));
}

TovoMBString KrFile::GetName(const TovoMBString& strPath) {
    const std::size_t n = LastSep(strPath.Str());
    return n == std::string::npos ? strPath : TovoMBString(strPath.Str().substr(n + 1));
}

TovoMBString KrFile::GetRelativePath(const TovoMBString& strBase, const TovoMBString& strDir) {
    if (strBase.IsEmpty() || !IsAbsolute(strDir))
        return strDir;
    const std::string strBaseDir = BaseDir(strBase);
    if (!IsAbsolute(strBaseDir)) // a relative base cannot be related to an absolute directory
        return strDir;
    const PathParts base = Split(strBaseDir);
    PathParts dir = Split(strDir.Str());
    dir.bDirectory = true;
    if (RootKey(base.strRoot) != RootKey(dir.strRoot))
        return TovoMBString(Join(dir));
    std::size_t nCommon = 0;
    while (nCommon < base.arrParts.size() && nCommon < dir.arrParts.size() &&
           base.arrParts[nCommon] == dir.arrParts[nCommon])
        ++nCommon;
    // In the base's separators, the ones GetAbsolutePath makes the name with again: a name stored,
    // read and stored again comes out the same.
    std::string s;
    for (std::size_t i = nCommon; i < base.arrParts.size(); ++i)
        (s += "..") += base.chSep;
    for (std::size_t i = nCommon; i < dir.arrParts.size(); ++i)
        (s += dir.arrParts[i]) += base.chSep;
    return TovoMBString(std::move(s));
}

TovoMBString KrFile::GetAbsolutePath(const TovoMBString& strBase, const TovoMBString& strRel) {
    // As GetRelativePath leaves such names alone, so does this, and a name stored without a
    // base reads back exactly.
    if (strBase.IsEmpty() || IsAbsolute(strRel))
        return strRel;
    std::string s = BaseDir(strBase);
    if (!s.empty() && !EndsWithSep(s))
        s += Split(s).chSep;
    // Only the directory part is resolved; the name after it stays as written, as GetRelativePath
    // never sees it (an icon name is stored as its relative directory followed by its name), so
    // that a name such as "." or ".." reads back as it was stored.
    s += GetDir(strRel).Str();
    return TovoMBString(Normalise(s)) + GetName(strRel);
}

bool KrFile::IsAbsolute(const TovoMBString& strPath) {
    return RootLength(strPath.Str()) > 0;
}

bool KrFile::IsDirectory(const TovoMBString& strPath) {
    std::error_code ec;
    return !strPath.IsEmpty() && std::filesystem::is_directory(strPath.Str(), ec);
}

bool KrFile::IsExist(const TovoMBString& strPath) {
    std::error_code ec;
    return !strPath.IsEmpty() && std::filesystem::exists(strPath.Str(), ec);
}

} // namespace KRS
