#pragma once

#include <string>
#include <vector>

// Maps a file extension (with its dot, ".x") to the ClassName of the import class that reads
// such files. Used when a file is given by name (command line, second instance, dropped file).
// Rows keep their order; the first matching row counts.
class ExtensionTable {
 public:
  int Count() const { return static_cast<int>(extensions_.size()); }
  // The row's texts, or null when row is out of range.
  const char* Extension(int row) const;
  const char* ClassName(int row) const;

  void Append(const std::string& extension, const std::string& class_name);
  // Appends every row of rows, in order.
  void Append(const ExtensionTable& rows);
  void Clear();

  // The class name of the first row whose extension equals `extension` without regard to
  // the case of ASCII letters, or null when no row does.
  const char* FindClassName(const char* extension) const;

 private:
  // Two parallel columns, as the store keeps them: value name and value text.
  std::vector<std::string> extensions_;
  std::vector<std::string> class_names_;
};

// Which host a table or settings object belongs to.
enum class HostProgram {
  Converter,  // Morvane
  Viewer,     // MorvaneOGL
};

// The default table of a host: nine rows for the classes of the original format plug-ins
// (the viewer names its Lightwave row "Lightwave (*.lwo, *.lws)"), then rows for the delivered
// import classes so that ".x", ".dat" and ".ldr" files given by name open on first start, then
// the rows of ExchangeFormatRows.
ExtensionTable DefaultExtensionTable(HostProgram program);

// The rows of the import classes of today's exchange formats (glTF, STL, PLY, COLLADA, FBX,
// OFF). A table stored by an earlier version lacks them; the host adds each one whose
// extension the stored table does not have (".obj" and ".3ds" have rows of their own already).
ExtensionTable ExchangeFormatRows();
