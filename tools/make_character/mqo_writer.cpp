#include "mqo_writer.h"

#include "text_format.h"

namespace tavo::chara {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void writeScene(std::string& out) {
    appendLine(out, "Scene {");
    appendLine(out, "\tpos 0.0000 -20.0000 1200.0000");
    appendLine(out, "\tlookat 0.0000 140.0000 0.0000");
    appendLine(out, "\thead -0.5236");
    appendLine(out, "\tpich 0.2618");
    appendLine(out, "\tortho 0");
    appendLine(out, "\tzoom2 3.0000");
    appendLine(out, "\tamb 0.250 0.250 0.250");
    appendLine(out, "}");
}

void writeMaterials(std::string& out, const CharacterModel& model) {
    appendLine(out, "Material " + std::to_string(model.materials.size()) + " {");
    for (const MaterialDesign& m : model.materials) {
        std::string line = "\t" + quoted(m.name) + " col(" + fixed(m.color[0], 3) + " " +
                           fixed(m.color[1], 3) + " " + fixed(m.color[2], 3) + " " +
                           fixed(m.color[3], 3) + ") dif(" + fixed(m.diffuse, 3) + ") amb(" +
                           fixed(m.ambient, 3) + ") emi(" + fixed(m.emissive, 3) + ") spc(" +
                           fixed(m.specular, 3) + ") power(" + fixed(m.power, 2) + ")";
        if (!m.texture.empty()) {
            line += " tex(" + quoted(m.texture) + ")";
        }
        appendLine(out, line);
    }
    appendLine(out, "}");
}

std::string faceLine(const MeshFace& face, bool reverse) {
    const size_t count = face.corners.size();
    auto corner = [&](size_t k) { return reverse ? count - 1 - k : k; };
    std::string line = "\t\t" + std::to_string(count) + " V(";
    for (size_t k = 0; k < count; ++k) {
        line += (k ? " " : "") + std::to_string(face.corners[corner(k)]);
    }
    line += ")";
    if (face.material >= 0) {
        line += " M(" + std::to_string(face.material) + ")";
    }
    if (!face.uvs.empty()) {
        line += " UV(";
        for (size_t k = 0; k < count; ++k) {
            const TexturePoint& uv = face.uvs[corner(k)];
            line += (k ? " " : "") + fixed(uv.u, 5) + " " + fixed(uv.v, 5);
        }
        line += ")";
    }
    return line;
}

void writeObject(std::string& out, const Mesh& mesh) {
    appendLine(out, "Object " + quoted(mesh.name) + " {");
    appendLine(out, "\tdepth 0");
    appendLine(out, "\tfolding 0");
    appendLine(out, "\tscale 1.000000 1.000000 1.000000");
    appendLine(out, "\trotation 0.000000 0.000000 0.000000");
    appendLine(out, "\ttranslation 0.000000 0.000000 0.000000");
    appendLine(out, std::string("\tvisible ") + (mesh.visible ? "15" : "0"));
    appendLine(out, "\tlocking 0");
    appendLine(out, "\tshading 1");
    appendLine(out, "\tfacet 59.5");
    appendLine(out, "\tcolor 0.898 0.498 0.698");
    appendLine(out, "\tcolor_type 0");
    appendLine(out, "\tvertex " + std::to_string(mesh.vertices.size()) + " {");
    for (const Vec3& v : mesh.vertices) {
        appendLine(out, "\t\t" + fixed(v.x, 4) + " " + fixed(v.y, 4) + " " + fixed(v.z, 4));
    }
    appendLine(out, "\t}");
    appendLine(out, "\tface " + std::to_string(mesh.faces.size()) + " {");
    for (const MeshFace& face : mesh.faces) {
        appendLine(out, faceLine(face, mesh.visible));
    }
    appendLine(out, "\t}");
    appendLine(out, "}");
}

}  // namespace

std::string writeMqo(const CharacterModel& model) {
    std::string out;
    appendLine(out, "Metasequoia Document");
    appendLine(out, "Format Text Ver 1.0");
    appendLine(out, "");
    writeScene(out);
    writeMaterials(out, model);
    for (const Mesh& mesh : model.meshes) {
        writeObject(out, mesh);
    }
    appendLine(out, "Eof");
    return out;
}

}  // namespace tavo::chara
