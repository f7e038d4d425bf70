#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

class LogFile;
class Mesh3d;
class XTokenReader;

// What a parse of one DirectX text file needs from the run around it.
struct XFileParseHooks {
  // Diagnostics; written only when the log is enabled. Required.
  LogFile* log = nullptr;
  // Status line for the progress display, already formatted. May be empty.
  std::function<void(const char* text)> status;
  // Read position and file size, before each word of the top level and of a frame and
  // before each vertex, face, normal and normal face. May be empty.
  std::function<void(std::uint32_t position, std::uint32_t total)> file_progress;
  // Triangles cut and to cut of a polygon that takes long to cut, reported now and then while
  // it is cut. May be empty.
  std::function<void(std::uint32_t done, std::uint32_t total)> mesh_progress;
  // A warning for the user, one line without its newline (a face left out). May be empty.
  std::function<void(const char* text)> warning;
  // The ear-cutting work the run may do beyond its share per byte of the file, in CutPolygon
  // steps; 0 keeps the default of about a minute's work.
  std::uint64_t cut_steps = 0;
  // Receives each mesh, in its indexed form, as soon as its data object is complete, and
  // takes it over (finishing it and adding it to the run's object list). Required.
  std::function<void(Mesh3d* mesh)> finish_mesh;
  // Whether meshes carry their edge table. Only orientation unify reads edges; without them
  // a mesh is welded and numbered the same with less memory and time.
  bool mesh_edges = true;
};

// Reads the DirectX file at path: text ("xof 0302txt" or "xof 0303txt"; a file without the
// header line is read all the same), binary ("bin "), or either of them compressed ("tzip",
// "bzip"), with floats of 32 or 64 bits ("0032", "0064"); the log names the form found. It hands
// every Mesh data object to hooks.finish_mesh as one mesh, the same from every form. Vertices are
// transformed by the matrices of the enclosing frames, a frame's own matrix first and then its
// parent's. Faces of four corners are split along the diagonal from corner 0, faces of five or more
// corners are cut into ears. A mesh takes the appearance (face colour with alpha, power, specular
// and emissive colour) of the material most of its faces use, inline or referenced by name;
// texture coordinates and normals are checked and logged but not carried into the meshes.
//
// Returns 1 when the whole file was read, 0 when the file could not be opened, its format word
// is refused, compressed data do not unpack, a binary stream is damaged (logged as "Binary
// data damaged at byte <offset>: <what>"), or a data object is malformed: the error is logged as
// "Syntax error at pos <line> (<last word>)", the mesh being read is dropped, and the meshes handed
// over before it stay where finish_mesh put them. No input makes it allocate more than the file's
// size can justify: every declared count is checked against the bytes left in the file first.
int ParseXFile(const char* path, const XFileParseHooks& hooks);

// The same for a file that is already open for binary reading (it stays open). Its size is
// taken once, at the start.
int ParseXFileStream(std::FILE* file, const XFileParseHooks& hooks);

// The grammar on its own: reads the words of reader, a stream of size bytes (the size that
// progress and the count checks measure against), as the body of a DirectX file.
int ParseXWords(XTokenReader* reader, std::uint64_t size, const XFileParseHooks& hooks);
