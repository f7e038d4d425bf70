#include "plugins/xfile_out/xfile_writer.h"

#include <cstdint>
#include <memory>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/mesh3d.h"
#include "plugin_frame/plugin_run.h"
#include "settings/chunked_text.h"
#include "settings/delimited_writer.h"
#include "settings/text_file.h"

namespace {

struct Template {
  const char* name;
  const char* guid;
  const char* members[5];
  bool blank_line_after;
};

// The DirectX file format's own template declarations, in the order readers expect them.
const Template kTemplates[] = {
    {"Header",
     "3D82AB43-62DA-11cf-AB39-0020AF71E433",
     {"WORD major;", "WORD minor;", "DWORD flags;"},
     true},
    {"Vector", "3D82AB5E-62DA-11cf-AB39-0020AF71E433", {"FLOAT x;", "FLOAT y;", "FLOAT z;"}, true},
    {"Coords2d", "F6F23F44-7686-11cf-8F52-0040333594A3", {"FLOAT u;", "FLOAT v;"}, true},
    {"Matrix4x4", "F6F23F45-7686-11cf-8F52-0040333594A3", {"array FLOAT matrix[16];"}, false},
    {"ColorRGBA",
     "35FF44E0-6C7C-11cf-8F52-0040333594A3",
     {"FLOAT red;", "FLOAT green;", "FLOAT blue;", "FLOAT alpha;"},
     true},
    {"ColorRGB",
     "D3E16E81-7835-11cf-8F52-0040333594A3",
     {"FLOAT red;", "FLOAT green;", "FLOAT blue;"},
     true},
    {"IndexedColor",
     "1630B820-7842-11cf-8F52-0040333594A3",
     {"DWORD index;", "ColorRGBA indexColor;"},
     true},
    {"Boolean", "4885AE61-78E8-11cf-8F52-0040333594A3", {"WORD truefalse;"}, true},
    {"Boolean2d", "4885AE63-78E8-11cf-8F52-0040333594A3", {"Boolean u;", "Boolean v;"}, true},
    {"MaterialWrap", "4885AE60-78E8-11cf-8F52-0040333594A3", {"Boolean u;", "Boolean v;"}, true},
    {"TextureFilename", "A42790E1-7810-11cf-8F52-0040333594A3", {"STRING filename;"}, true},
    {"Material",
     "3D82AB4D-62DA-11cf-AB39-0020AF71E433",
     {"ColorRGBA faceColor;", "FLOAT power;", "ColorRGB specularColor;", "ColorRGB emissiveColor;",
      "[...]"},
     true},
    {"MeshFace",
     "3D82AB5F-62DA-11cf-AB39-0020AF71E433",
     {"DWORD nFaceVertexIndices;", "array DWORD faceVertexIndices[nFaceVertexIndices];"},
     true},
    {"MeshFaceWraps",
     "4885AE62-78E8-11cf-8F52-0040333594A3",
     {"DWORD nFaceWrapValues;", "Boolean2d faceWrapValues;"},
     true},
    {"MeshTextureCoords",
     "F6F23F40-7686-11cf-8F52-0040333594A3",
     {"DWORD nTextureCoords;", "array Coords2d textureCoords[nTextureCoords];"},
     true},
    {"MeshMaterialList",
     "F6F23F42-7686-11cf-8F52-0040333594A3",
     {"DWORD nMaterials;", "DWORD nFaceIndexes;", "array DWORD faceIndexes[nFaceIndexes];",
      "[Material]"},
     true},
    {"MeshNormals",
     "F6F23F43-7686-11cf-8F52-0040333594A3",
     {"DWORD nNormals;", "array Vector normals[nNormals];", "DWORD nFaceNormals;",
      "array MeshFace faceNormals[nFaceNormals];"},
     true},
    {"MeshVertexColors",
     "1630B821-7842-11cf-8F52-0040333594A3",
     {"DWORD nVertexColors;", "array IndexedColor vertexColors[nVertexColors];"},
     true},
    {"Mesh",
     "3D82AB44-62DA-11cf-AB39-0020AF71E433",
     {"DWORD nVertices;", "array Vector vertices[nVertices];", "DWORD nFaces;",
      "array MeshFace faces[nFaces];", "[...]"},
     true},
    {"FrameTransformMatrix",
     "F6F23F41-7686-11cf-8F52-0040333594A3",
     {"Matrix4x4 frameMatrix;"},
     true},
    {"Frame", "3D82AB46-62DA-11cf-AB39-0020AF71E433", {"[...]"}, false},
};

const char kMaterialName[] = "mat_default";

// Items of a list formatted as one chunk: large enough that a chunk costs far more than
// handing it between threads, small enough that a mesh of a few tens of thousands of faces
// already uses both.
constexpr std::int32_t kChunkItems = 2048;

// ",\n" after every entry of a list but the last, the list's end after the last.
void end_entry(DelimitedWriter& out, std::int32_t i, std::int32_t count, const char* last) {
  if (i < count - 1)
    out.Char(',').Newline();
  else
    out.Text(last);
}

}  // namespace

void write_header(std::FILE* file, int ld) {
  print_delimited(ld, file, "xof 0302txt 0064\n");
  for (const Template& t : kTemplates) {
    print_delimited(ld, file, "template %s {\n", t.name);
    print_delimited(ld, file, " <%s>\n", t.guid);
    for (const char* member : t.members)
      if (member != nullptr) print_delimited(ld, file, " %s\n", member);
    print_delimited(ld, file, "}\n");
    if (t.blank_line_after) print_delimited(ld, file, "\n");
  }
  print_delimited(ld, file, "Header {\n 1;\n 0;\n 1;\n}\n\n");
  print_delimited(ld, file, "Material %s {\n", kMaterialName);
  print_delimited(ld, file, "\t0.800000;0.800000;0.800000;1.000000;;\n");
  print_delimited(ld, file, "\t32.000000;\n");
  print_delimited(ld, file, "\t0.700000;0.700000;0.700000;;\n");
  print_delimited(ld, file, "\t0.000000;0.000000;0.000000;;\n");
  print_delimited(ld, file, "}\n\n");
}

void write_mesh(std::FILE* file, const Mesh3d& mesh, double smooth_angle, int ld, PluginRun* run,
                bool colours) {
  const std::int32_t vertex_count = mesh.vertex_count();
  const std::int32_t face_count = mesh.face_count();
  auto progress = [run](std::int32_t i, std::int32_t count) {
    if (run != nullptr)
      run->FileProgress(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(count));
  };
  if (run != nullptr) {
    run->Status("Working on: %s\n", mesh.name());
    run->Log("Working on: %s\n", mesh.name());
  }

  // The mesh goes out through one buffered writer: numbers are formatted as "%f" and "%d"
  // would, and corner normals come from one pass over the mesh that computes each face's
  // normal about once. The long lists are formatted in chunks on two threads and written in
  // order (each thread with a normal pass of its own); progress is reported per chunk.
  DelimitedWriter out(ld, file);
  auto list = [&](std::int32_t count, const ChunkFormat& format) {
    write_in_chunks(count, kChunkItems, ld, format,
                    [&](const char* text, std::size_t length, std::int32_t first, std::int32_t) {
                      progress(first, count);
                      out.Raw(text, length);
                    });
  };
  const std::string name = xfile_safe_name(mesh.name());
  out.Text("Mesh ").Text(name.data(), name.size()).Text(" {\n");
  out.Char(' ').Int(vertex_count).Text(";\n");
  list(vertex_count, [&](DelimitedWriter& w, std::int32_t first, std::int32_t end, int) {
    for (std::int32_t i = first; i < end; ++i) {
      Vec3d p;
      mesh.vertices->position(i, p);
      w.Char(' ').Fixed(p.x).Char(';').Fixed(p.y).Char(';').Fixed(p.z).Char(';');
      end_entry(w, i, vertex_count, ";\n");
    }
  });
  out.Newline();

  out.Char(' ').Int(face_count).Text(";\n");
  list(face_count, [&](DelimitedWriter& w, std::int32_t first, std::int32_t end, int) {
    for (std::int32_t i = first; i < end; ++i) {
      int32_t corners[3];
      mesh.faces->face(i, corners);
      w.Char(' ')
          .Char('3')
          .Char(';')
          .Int(corners[0])
          .Char(',')
          .Int(corners[1])
          .Char(',')
          .Int(corners[2])
          .Char(';');
      end_entry(w, i, face_count, ";\n");
    }
  });
  out.Newline();

  out.Text(" MeshMaterialList {\n");
  out.Text("  ").Int(1).Text(";\n");
  out.Text("  ").Int(face_count).Text(";\n");
  list(face_count, [&](DelimitedWriter& w, std::int32_t first, std::int32_t end, int) {
    for (std::int32_t i = first; i < end; ++i) {
      w.Char(' ').Char(' ').Char('0');
      end_entry(w, i, face_count, ";;\n");
    }
  });
  if (colours && mesh.has_appearance != 0) {
    // The mesh's own material, in the order of the Material template: face colour, power,
    // specular colour, emissive colour.
    const Appearance& a = mesh.appearance;
    out.Text("  Material ").Text(name.data(), name.size()).Text(" {\n");
    out.Text("\t").Fixed(a.rgba[0]).Char(';').Fixed(a.rgba[1]).Char(';').Fixed(a.rgba[2]);
    out.Char(';').Fixed(a.rgba[3]).Text(";;\n");
    out.Text("\t").Fixed(a.specular_power).Text(";\n");
    out.Text("\t").Fixed(a.specular[0]).Char(';').Fixed(a.specular[1]).Char(';');
    out.Fixed(a.specular[2]).Text(";;\n");
    out.Text("\t").Fixed(a.emissive[0]).Char(';').Fixed(a.emissive[1]).Char(';');
    out.Fixed(a.emissive[2]).Text(";;\n");
    out.Text("  }\n");
  } else {
    out.Text("  {").Text(kMaterialName).Text("}\n");
  }
  out.Text(" } # MeshMaterialList\n");
  out.Newline();

  out.Text(" MeshNormals {\n");
  out.Char(' ').Int(3 * face_count).Text(";\n");
  {
    const bool two = face_count > kChunkItems;
    const int32_t cached = two ? FaceNormalCache::kSharedSlots : FaceNormalCache::kMostSlots;
    CornerNormalPass normals0(mesh, smooth_angle, cached);
    std::unique_ptr<CornerNormalPass> normals1;
    if (two) normals1.reset(new CornerNormalPass(mesh, smooth_angle, cached));
    CornerNormalPass* normals[2] = {&normals0, normals1.get()};
    list(face_count, [&](DelimitedWriter& w, std::int32_t first, std::int32_t end, int worker) {
      for (std::int32_t i = first; i < end; ++i) {
        Vec3d n[3];
        normals[worker]->get(i, n);
        for (int k = 0; k < 3; ++k) {
          w.Char(' ').Fixed(n[k].x).Char(';').Fixed(n[k].y).Char(';').Fixed(n[k].z).Char(';');
          if (k < 2)
            w.Char(',').Newline();
          else
            end_entry(w, i, face_count, ";\n");
        }
      }
    });
  }
  out.Newline();

  out.Char(' ').Int(face_count).Text(";\n");
  list(face_count, [&](DelimitedWriter& w, std::int32_t first, std::int32_t end, int) {
    for (std::int32_t i = first; i < end; ++i) {
      w.Char(' ')
          .Char('3')
          .Char(';')
          .Int(3 * i)
          .Char(',')
          .Int(3 * i + 1)
          .Char(',')
          .Int(3 * i + 2)
          .Char(';');
      end_entry(w, i, face_count, ";\n");
    }
  });
  out.Text(" } # MeshNormals\n");
  out.Text("} # Mesh\n");
  out.Newline();
}

std::string xfile_safe_name(const char* name) {
  std::string safe = name != nullptr ? name : "";
  if (safe.empty()) return "_";
  for (std::string::size_type i = 0; i < safe.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(safe[i]);
    bool comment =
        c == '/' && ((i + 1 < safe.size() && safe[i + 1] == '/') || (i > 0 && name[i - 1] == '/'));
    if (c <= ' ' || c == 127 || c == '{' || c == '}' || c == ',' || c == ';' || c == '#' ||
        c == '"' || comment)
      safe[i] = '_';
  }
  return safe;
}
