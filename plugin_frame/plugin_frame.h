#pragma once

// The common frame of every plug-in class. A class supplies only its names, string table,
// filter, specific settings (fields and dialog controls) and its parse or write function;
// options, log, progress, dialogs, file choosers and the run skeletons come from here.
//
// An import class:
//
//     class MySettings : public PluginSettings {          // "Specific Settings"
//     public:
//         MySettings() : PluginSettings("my_in", "myin.log") { LoadSettings(); }
//         ~MySettings() override { SaveSettings(); }
//         void LoadSettings() override { LoadFileTexts(path, file_name); }
//         void SaveSettings() override { SaveFileTexts(path, file_name); }
//         SettingsText path, file_name;
//     };
//
//     static const FrameClassInfo kInfo = {
//         "My Import Plugin 0.1",                                   // log banner title
//         {"\tMy Import\n\n- Imports my files", "Mine", "Configuration", "Help", "Import"}};
//
//     class MyImport final : public FrameImporter {
//     public:
//         MyImport() : FrameImporter(kInfo) {}
//     protected:
//         PluginSettings *NewSettings() override { return new MySettings; }
//         FileSlot InputFile(PluginSettings &s) override {
//             auto &m = static_cast<MySettings &>(s);
//             return {&m.path, &m.file_name, "My File (*.my)|*.my|All Files (*.*)|*.*||", nullptr};
//         }
//         void Parse(PluginRun &run) override {
//             run.DumpOptions();
//             run.Status("Parsing %s started ...      \n",
//             run.Settings<MySettings>().file_name.c_str());
//             ... build each Mesh3d, run.FileProgress(pos, size) as the file is read ...
//             run.FinishMesh(mesh);            // statistics, Sizing, Swapping axis, Unifying,
//             Reducing
//         }
//     };
//
//     static FrameClassDescription my_class("My (*.my)", MESH_IMPORT_CLASS, 0x12345678,
//                                           create_plugin_object<MyImport>);
//     MORVANE_PLUGIN_LIBRARY("My Import Lib", &my_class)
//
// An export class derives from FrameExporter instead and implements OutputFiles (one or two
// FileSlot with default extensions) and Write (run.objects is the host's list). Specific
// options: FillSpecific adds "Specific" controls (dialog.AddNumberField(1032, "Smooth Angle",
// s.smooth_angle)), TakeSpecific reads them back after OK (dialog.NumberValue(1032)),
// DumpSpecific writes their dump lines.
//
// Without a QApplication (batch runs, tests) nothing is shown: Import gives an empty list,
// Export mode 0 acts as cancelled, mode 1 uses the stored names, mode 2 the given names, and
// progress is a one-line bar on standard error when that is a terminal.

#include "plugin_frame/frame_exporter.h"
#include "plugin_frame/frame_importer.h"
#include "plugin_frame/frame_library.h"
#include "plugin_frame/options_dialog.h"
#include "plugin_frame/options_dump.h"
#include "plugin_frame/plugin_run.h"
#include "plugin_frame/plugin_settings.h"
#include "plugin_frame/plugin_strings.h"
#include "plugin_frame/progress_callbacks.h"
#include "plugin_frame/read_number_field.h"
#include "settings/log_file.h"
