// CDllInfo: reads the version a library file states in its version resource
// (the "FileVersion" string), for the check before the library is loaded.
#pragma once

class CDllInfo {
  public:
    virtual ~CDllInfo() = default;

    // The "FileVersion" string of `file` (a bare name is looked for as a
    // library to load would be) into `buffer`, cut to `size` - 1 characters.
    bool ReadFileVersionString(const char* file, char* buffer, int size);
    // The first three numbers of `text`, split in place at `separator`; false
    // when there are fewer than three tokens (the numbers found stay stored).
    bool SplitVersionString(char* text, int& first, int& second, int& third, char separator);
    // The first three numbers of the file's version string, split at '.' or else at ','.
    bool GetFileVersionNumbers(const char* file, int& first, int& second, int& third);
};

// The library's version rule: 1.3, whatever the third number.
bool IsAcceptedTolmVersion(int first, int second);
