# Writes the FBX and COLLADA fixtures of the exchange import tests with Blender:
#   blender --background --factory-startup --python tests/formats_in/data/make_fixtures.py
# The scene: a cube "Crate" of edge 2 about the origin in a red material, and a cone "Spire" of
# eight sides (radius 1, height 2) standing on the ground at x = 4, in a blue one; z is up.
#   two_objects.fbx       FBX as Blender writes it by default: turned y up ("UpAxis" 1)
#   two_objects_z_up.fbx  FBX that keeps z up and says so ("UpAxis" 2)
#   two_objects.dae       COLLADA, which keeps z up and says so (<up_axis>Z_UP)
import os
import bpy

bpy.ops.wm.read_factory_settings(use_empty=True)


def material(name, rgba):
    m = bpy.data.materials.new(name)
    m.diffuse_color = rgba
    m.use_nodes = True
    m.node_tree.nodes["Principled BSDF"].inputs["Base Color"].default_value = rgba
    return m


bpy.ops.mesh.primitive_cube_add(size=2.0, location=(0.0, 0.0, 0.0))
crate = bpy.context.active_object
crate.name = crate.data.name = "Crate"
crate.data.materials.append(material("Red", (0.8, 0.1, 0.1, 1.0)))

bpy.ops.mesh.primitive_cone_add(vertices=8, radius1=1.0, depth=2.0, location=(4.0, 0.0, 1.0))
spire = bpy.context.active_object
spire.name = spire.data.name = "Spire"
spire.data.materials.append(material("Blue", (0.1, 0.2, 0.8, 1.0)))

here = os.path.dirname(os.path.abspath(__file__))
for name, up, forward in (("two_objects.fbx", "Y", "-Z"), ("two_objects_z_up.fbx", "Z", "Y")):
    bpy.ops.export_scene.fbx(filepath=os.path.join(here, name), use_selection=False,
                             apply_unit_scale=True, apply_scale_options='FBX_SCALE_ALL',
                             bake_space_transform=True, axis_up=up, axis_forward=forward,
                             object_types={'MESH'}, add_leaf_bones=False, bake_anim=False)
bpy.ops.wm.collada_export(filepath=os.path.join(here, "two_objects.dae"))
