#pragma once
// Small stateless helpers shared by the main window and its dialogs.
#include <cstdint>
#include <string>
#include <vector>

class QComboBox;

namespace orvane {

// Linux has no Windows directory; the system's root folder stands in.
std::string GetWindowsFolder();
std::string IntToStrZero(int32_t value, int32_t width);
std::string IntToStrSpace(int32_t value, int32_t width);
std::string XmlEscape(const std::string& text, bool escape);
bool BitIsSet(int32_t value, int32_t bit);
// Index of the first item equal to text ignoring letter case, else def.
int ComboIndexOf(const std::vector<std::string>& items, const std::string& text, int def);
int ComboIndexOf(const QComboBox& combo, const std::string& text, int def);
// The user data folder: $XDG_DATA_HOME (or ~/.local/share; with common the
// first of $XDG_DATA_DIRS) plus the program's folder name, with a trailing
// "/". The program folder when no base folder can be found. With create, the
// folder is made with all its parents; errors are ignored.
std::string GetDataFolder(bool common, bool create, const std::string& programPath);
// The documents folder with a trailing "/", the home folder when the desktop
// names none, the program folder when there is no home either.
std::string GetDocumentsFolder(const std::string& programPath);
// The name of the folder holding the program file; for a program in the root
// folder, the program's file name with every "." replaced by "_".
std::string GetAppFolderName(const std::string& programPath);
// The folder of the program file with a trailing "/".
std::string ProgramFolderOf(const std::string& programPath);

} // namespace orvane
