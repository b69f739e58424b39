# Builds, from an empty Blender scene, the small model the importer's tests
# read, and exports it beside this script as glTF 2.0 binary (scene.glb, the
# smaller of the exporter's forms): a warm-coloured spot light, a camera of
# 35 mm lens (not Blender's 50) looking down at the objects from an angle, a
# flattened cube "Body" keyed in position and rotation with Bezier keys, and
# a three-sided cone "Fin" parented to it, keyed in rotation with linear keys
# and in scale with constant ones. 25 frames a second over frames 0 to 50;
# keys are exported as they are, not sampled, so the file holds CUBICSPLINE,
# LINEAR and STEP samplers. Every run writes the same bytes.
#
# Only a person who wants to make the file again needs Blender (Debian's
# blender 3.4, whose glTF exporter also needs python3-numpy):
#   blender -b --factory-startup --python tests/data/blender/make_scene.py

import math
import os

import bmesh
import bpy

FPS = 25
LAST_FRAME = 50


def empty_scene():
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene
    scene.render.fps = FPS
    scene.render.fps_base = 1.0
    scene.render.resolution_x = 640
    scene.render.resolution_y = 480
    scene.frame_start = 0
    scene.frame_end = LAST_FRAME
    scene.frame_set(0)
    return scene


def material(name, rgb):
    mat = bpy.data.materials.new(name)
    mat.use_nodes = True
    mat.use_backface_culling = True
    bsdf = mat.node_tree.nodes["Principled BSDF"]
    bsdf.inputs["Base Color"].default_value = (*rgb, 1.0)
    bsdf.inputs["Roughness"].default_value = 0.6
    return mat


def mesh_object(scene, name, build, mat):
    mesh = bpy.data.meshes.new(name)
    bm = bmesh.new()
    bm.loops.layers.uv.new("UVMap")
    build(bm)
    bm.to_mesh(mesh)
    bm.free()
    mesh.materials.append(mat)
    obj = bpy.data.objects.new(name, mesh)
    scene.collection.objects.link(obj)
    return obj


def keys(obj, path, frames_and_values, interpolation):
    for frame, value in frames_and_values:
        setattr(obj, path, value)
        obj.keyframe_insert(path, frame=frame)
    for curve in obj.animation_data.action.fcurves:
        if curve.data_path == path:
            for point in curve.keyframe_points:
                point.interpolation = interpolation
            curve.update()


def degrees(x, y, z):
    return (math.radians(x), math.radians(y), math.radians(z))


def add_body(scene):
    body = mesh_object(scene, "Body",
                       lambda bm: bmesh.ops.create_cube(bm, size=2.0, calc_uvs=True),
                       material("BodyRed", (0.8, 0.1, 0.05)))
    # Equal in x and y, so that the child's turns about z stay free of shear.
    body.scale = (1.5, 1.5, 0.5)
    keys(body, "location",
         [(0, (-2.0, 0.0, 0.0)), (20, (0.0, 1.0, 0.5)), (50, (2.0, 0.0, 0.0))], "BEZIER")
    keys(body, "rotation_euler",
         [(0, degrees(0, 0, 0)), (20, degrees(20, -15, 60)), (50, degrees(0, 30, 150))], "BEZIER")
    return body


def add_fin(scene, body):
    fin = mesh_object(scene, "Fin",
                      lambda bm: bmesh.ops.create_cone(bm, cap_ends=True, segments=3, radius1=0.6,
                                                       radius2=0.0, depth=1.0, calc_uvs=True),
                      material("FinBlue", (0.1, 0.3, 0.9)))
    fin.parent = body
    fin.location = (0.0, 0.0, 2.0)
    keys(fin, "rotation_euler",
         [(0, degrees(0, 0, 0)), (25, degrees(0, 0, 90)), (50, degrees(0, 0, 200))], "LINEAR")
    keys(fin, "scale",
         [(10, (1.0, 1.0, 1.0)), (30, (1.5, 1.5, 1.5)), (45, (0.75, 0.75, 0.75))], "CONSTANT")
    return fin


def add_camera(scene):
    lens = bpy.data.cameras.new("Lens")
    lens.lens = 35.0
    lens.clip_start = 0.5
    lens.clip_end = 60.0
    camera = bpy.data.objects.new("Camera", lens)
    camera.location = (7.0, -8.0, 5.5)
    camera.rotation_euler = degrees(64, 8, 36)
    scene.collection.objects.link(camera)
    scene.camera = camera


def add_light(scene):
    lamp = bpy.data.lights.new("Lamp", "SPOT")
    lamp.color = (1.0, 0.7, 0.35)
    lamp.energy = 800.0
    lamp.spot_size = math.radians(50)
    lamp.spot_blend = 0.3
    lamp.use_custom_distance = True
    lamp.cutoff_distance = 30.0
    light = bpy.data.objects.new("Spot", lamp)
    light.location = (-4.0, -5.0, 7.0)
    light.rotation_euler = degrees(40, 0, -35)
    scene.collection.objects.link(light)


def export(path):
    bpy.ops.export_scene.gltf(
        filepath=path, export_format="GLB", export_yup=True,
        export_cameras=True, export_lights=True, export_animations=True,
        export_force_sampling=False, export_nla_strips=False,
        export_nla_strips_merged_animation_name="Swim",
        export_optimize_animation_size=False, export_image_format="NONE",
        export_tangents=False, export_colors=False, export_extras=False)


def main():
    scene = empty_scene()
    body = add_body(scene)
    add_fin(scene, body)
    add_camera(scene)
    add_light(scene)
    export(os.path.join(os.path.dirname(os.path.abspath(__file__)), "scene.glb"))


main()
