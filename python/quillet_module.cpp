// The Python module `quillet._quillet`: the component's object under its own names, and map
// files for Python hosts. Only the public API is bound (include/quillet/); the package
// (python/quillet/__init__.py) adds the errors and the one-call functions.
//
// Every call that reads data or runs a label run releases the GIL, so a GUI thread stays
// responsive while a worker labels; callbacks (message boxes, load progress) take it back.

#include <pybind11/functional.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "quillet/com_bool.h"
#include "quillet/error.h"
#include "quillet/label_collection.h"
#include "quillet/locale.h"
#include "quillet/map_file.h"
#include "quillet/message_sink.h"
#include "quillet/quillet.h"

namespace py = pybind11;

namespace quillet::python {
namespace {

// The package this module was loaded into ("quillet", or a plugin's copy of it), where the
// error classes live.
std::string& Package() {
  static std::string package;
  return package;
}

// Sets the package's error class `kind` (`UnreadableError`, ...) with `message` as the
// Python error.
void SetError(const char* kind, const std::string& message) {
  const py::object type = py::module_::import(Package().c_str()).attr(kind);
  PyErr_SetObject(type.ptr(), py::str(message).ptr());
}

// Runs `call(object)` without the GIL, holding `mutex` so that calls on one object never
// overlap. The GIL goes first, so a callback that takes it back cannot deadlock with a
// thread waiting for the mutex.
template <typename Object, typename Call>
auto RunReleased(std::mutex& mutex, Object& object, Call&& call) {
  const py::gil_scoped_release release;
  const std::lock_guard lock(mutex);
  return call(object);
}

// Message boxes go to a Python callable. A call on the object has released the GIL, so the
// sink takes it back; an exception of the callable is kept and raised when the call returns,
// since nothing may leave the component through its error handlers.
class CallableSink : public runtime::MessageSink {
 public:
  explicit CallableSink(py::object callable) : mCallable(std::move(callable)) {}

  void Show(const std::string& text, const std::string& title, int32_t style) override {
    const py::gil_scoped_acquire gil;
    if (mFailure) return;
    try {
      mCallable(text, title, style);
    } catch (py::error_already_set& failure) {
      mFailure = std::move(failure);
    }
  }

  // With the GIL held.
  void RaiseFailure() {
    if (!mFailure) return;
    py::error_already_set failure = std::move(*mFailure);
    mFailure.reset();
    throw failure;
  }

 private:
  py::object mCallable;
  std::optional<py::error_already_set> mFailure;
};

// `quillet.Quillet`: one component object; its calls never overlap.
struct Labeler {
  Labeler(std::shared_ptr<gis::ObjectFactory> platform, const py::object& messages)
      : sink(messages.is_none() ? nullptr : std::make_shared<CallableSink>(messages)),
        quillet(std::move(platform), sink) {}

  // Runs `call` on the object without the GIL, then raises what the message callable raised.
  template <typename Call>
  auto Run(Call&& call) {
    if constexpr (std::is_void_v<std::invoke_result_t<Call, Quillet&>>) {
      RunReleased(mutex, quillet, call);
      RaiseFailure();
    } else {
      auto result = RunReleased(mutex, quillet, call);
      RaiseFailure();
      return result;
    }
  }

  void RaiseFailure() {
    if (sink) sink->RaiseFailure();
  }

  std::shared_ptr<CallableSink> sink;
  std::mutex mutex;
  Quillet quillet;
};

// `quillet.Platform`: what creates the query filters and statistics of one map's layers.
struct Platform {
  std::shared_ptr<gis::ObjectFactory> factory;
};

// `quillet.Layer`: one layer's data opened from a map, under the name the map gives it.
struct Layer {
  std::shared_ptr<gis::Layer> layer;
  std::string name;
};

// `quillet.Map`: a map file; its calls never overlap, except `interrupt`.
struct Map {
  std::unique_ptr<MapFile> file;
  std::mutex mutex;

  template <typename Call>
  auto Run(Call&& call) {
    return RunReleased(mutex, *file, call);
  }
};

// The runtime's collection as a Python sequence: positions from 0 as Python counts, besides
// the component's own `Item` from 1.
using Labels = std::shared_ptr<LabelCollection>;

int32_t SequenceIndex(const LabelCollection& labels, int64_t index) {
  const int64_t count = labels.Count();
  if (index < 0) index += count;
  if (index < 0 || index >= count) throw py::index_error("Subscript out of range");
  return static_cast<int32_t>(index) + 1;
}

py::object Item(const LabelCollection& labels, const py::object& indexOrKey) {
  if (py::isinstance<py::str>(indexOrKey)) {
    const auto key = indexOrKey.cast<std::string>();
    if (!labels.Contains(key)) throw py::key_error(key);
    return py::str(labels.Item(std::string_view(key)));
  }
  const auto position = indexOrKey.cast<int64_t>();
  if (position < 1 || position > labels.Count()) throw py::index_error("Subscript out of range");
  return py::str(labels.Item(static_cast<int32_t>(position)));
}

Labels ToLabels(const py::object& labels) {
  if (py::isinstance<LabelCollection>(labels)) return labels.cast<Labels>();
  auto collection = std::make_shared<LabelCollection>();
  for (const py::handle item : labels)
    collection->Add(item.cast<std::string>());
  return collection;
}

int16_t WrapLength(int64_t length) {
  if (length < std::numeric_limits<int16_t>::min() || length > std::numeric_limits<int16_t>::max())
    throw py::value_error("WrapTextIfLongerThan takes a 16-bit integer (-32768 to 32767), not " +
                          std::to_string(length));
  return static_cast<int16_t>(length);
}

// A switch of the object as a Python property of bool values.
void Switch(py::class_<Labeler>& type, const char* name, runtime::ComBool (Quillet::*get)() const,
            void (Quillet::*set)(const runtime::ComBool&), const char* doc) {
  type.def_property(
      name,
      [get](Labeler& self) { return self.Run([get](Quillet& q) { return (q.*get)() != 0; }); },
      [set](Labeler& self, bool value) {
        self.Run([set, value](Quillet& q) { (q.*set)(runtime::ToComBool(value)); });
      },
      doc);
}

void BindCollection(py::module_& module) {
  py::class_<LabelCollection, Labels>(module, "Collection", R"(
Labels in legend order: the runtime's collection, shared with the object that handed it out.

``Item(n)`` counts from 1 as the component does; as a Python sequence (``len``, iteration,
``labels[i]``) it counts from 0. ``list(labels)`` copies it.)")
      .def(py::init([] { return std::make_shared<LabelCollection>(); }), "An empty collection.")
      .def_property_readonly("Count", &LabelCollection::Count, "The number of items.")
      .def("Item", &Item, py::arg("Index"),
           "The item at a position from 1, or under a key; IndexError or KeyError when there is "
           "none.")
      .def(
          "Add",
          [](LabelCollection& labels, const std::string& item, std::optional<std::string> key) {
            if (key && labels.Contains(*key))
              throw py::key_error(
                  "This key is already associated with an element of this "
                  "collection");
            labels.Add(item, key ? std::optional<std::string_view>(*key) : std::nullopt);
          },
          py::arg("Item"), py::arg("Key") = py::none(),
          "Appends an item, optionally under a key not yet present.")
      .def("Contains", &LabelCollection::Contains, py::arg("Key"),
           "Whether an item has that key (compared without regard to case).")
      .def("__len__", &LabelCollection::Count)
      .def("__getitem__", [](const LabelCollection& labels,
                             int64_t index) { return labels.Item(SequenceIndex(labels, index)); })
      .def("__getitem__",
           [](const LabelCollection& labels, const py::slice& slice) {
             py::ssize_t start = 0, stop = 0, step = 0, length = 0;
             if (!slice.compute(labels.Count(), &start, &stop, &step, &length))
               throw py::error_already_set();
             std::vector<std::string> items;
             for (py::ssize_t i = 0; i < length; ++i, start += step)
               items.push_back(labels.Item(static_cast<int32_t>(start) + 1));
             return items;
           })
      .def(
          "__iter__",
          [](const LabelCollection& labels) {
            return py::make_iterator(labels.begin(), labels.end());
          },
          py::keep_alive<0, 1>())
      .def("__repr__", [](const LabelCollection& labels) {
        return "Collection(" +
               py::repr(py::cast(std::vector<std::string>(labels.begin(), labels.end())))
                   .cast<std::string>() +
               ")";
      });
}

void BindLabeler(py::module_& module) {
  py::class_<Labeler> type(module, "Quillet", R"(
Writes legend labels computed from the features each legend entry stands for.

The component's object, with its properties and methods under their own names. Bind it to
a map's platform, set the switches, then call ``VerifyExpression``, ``MakeLabels``,
``SetLabels`` and ``ResetLabels`` with a layer of that map. A method returns True or False;
on False, ``Message`` says why in the component's words. Message boxes (``ShowMessages``)
go to ``messages(text, title, style)``; style 16 is an error, 64 information. Use one object
per layer; calls on one object never overlap (another thread's call waits).)");
  type.def(py::init([](const Platform& platform, const py::object& messages) {
             return std::make_unique<Labeler>(platform.factory, messages);
           }),
           py::arg("platform"), py::arg("messages") = py::none(),
           "An object over the layers of one map (``map.platform``); ``messages`` receives the "
           "message boxes.");
  Switch(type, "ShowMessages", &Quillet::ShowMessages, &Quillet::ShowMessages,
         "Whether failures and the sample label go to the messages callable. Default False.");
  Switch(type, "ApplyDefinitionQuery", &Quillet::ApplyDefinitionQuery,
         &Quillet::ApplyDefinitionQuery,
         "Whether the layer's definition query (its filter) restricts every legend entry. "
         "Default True.");
  Switch(type, "ApplySelectionSet", &Quillet::ApplySelectionSet, &Quillet::ApplySelectionSet,
         "Stored and read back; label runs read the same features whatever its value. "
         "Default False.");
  Switch(type, "UpdateAllOtherValues", &Quillet::UpdateAllOtherValues,
         &Quillet::UpdateAllOtherValues,
         "Whether SetLabels writes the label of the \"all other values\" class. Default True.");
  type.def_property(
      "WrapTextIfLongerThan",
      [](Labeler& self) { return self.Run([](Quillet& q) { return q.WrapTextIfLongerThan(); }); },
      [](Labeler& self, int64_t length) {
        const int16_t wrap = WrapLength(length);
        self.Run([wrap](Quillet& q) { q.WrapTextIfLongerThan(wrap); });
      },
      "Wrap labels longer than this many characters; 0 or less does not wrap. Default 0.");
  type.def_property_readonly(
      "Labels", [](Labeler& self) { return self.Run([](Quillet& q) { return q.Labels(); }); },
      "The labels of the last label run, one per legend entry (\"$$SKIPPED\" for an entry "
      "left alone): the object's own collection, empty after a failure.");
  type.def_property_readonly(
      "OriginalLabels",
      [](Labeler& self) { return self.Run([](Quillet& q) { return q.OriginalLabels(); }); },
      "The labels the renderer showed at the first SetLabels.");
  type.def_property_readonly(
      "Message", [](Labeler& self) { return self.Run([](Quillet& q) { return q.Message(); }); },
      "The text of the last failure or status message.");
  type.def_property_readonly(
      "SkippedLegendItems",
      [](Labeler& self) {
        return self.Run([](Quillet& q) { return q.SkippedLegendItems() != 0; });
      },
      "Whether any label run of this object left a legend entry out.");
  type.def(
      "MakeLabels",
      [](Labeler& self, const Layer& layer, std::string expression) {
        return self.Run([&](Quillet& q) { return q.MakeLabels(layer.layer, expression) != 0; });
      },
      py::arg("pLayer"), py::arg("pExpression"),
      "Computes one label per legend entry of the layer's renderer into Labels; verifies the "
      "expression first.");
  type.def(
      "VerifyExpression",
      [](Labeler& self, const Layer& layer, std::string expression, bool sample,
         bool instructions) {
        return self.Run([&](Quillet& q) {
          return q.VerifyExpression(layer.layer, expression, runtime::ToComBool(sample),
                                    runtime::ToComBool(instructions)) != 0;
        });
      },
      py::arg("pLayer"), py::arg("pExpression"), py::arg("pMakeSampleLabel") = false,
      py::arg("pShowLabelingInstructions") = false,
      "Checks that an expression can label the layer; on request computes a sample label "
      "(SampleLabel) and shows it, with the labelling instructions, in a \"Valid Expression\" "
      "box.");
  type.def(
      "SetLabels",
      [](Labeler& self, const Layer& layer) {
        return self.Run([&](Quillet& q) { return q.SetLabels(layer.layer) != 0; });
      },
      py::arg("pLayer"),
      "Records the renderer's labels (once per object) and writes Labels into the layer's "
      "renderer.");
  type.def(
      "ResetLabels",
      [](Labeler& self, const Layer& layer) {
        return self.Run([&](Quillet& q) { return q.ResetLabels(layer.layer) != 0; });
      },
      py::arg("pLayer"), "Writes OriginalLabels back into the layer's renderer.");
  type.def_property_readonly(
      "Locale", [](Labeler& self) { return self.Run([](Quillet& q) { return q.Locale().name; }); },
      "The name of the locale numbers and dates are written in; default \"en-US\".");
  type.def(
      "SetLocale",
      [](Labeler& self, const std::string& name) {
        runtime::Locale locale = [&] {
          const py::gil_scoped_release release;
          return runtime::Locale::FromName(name);
        }();
        self.Run([&](Quillet& q) { q.SetLocale(std::move(locale)); });
      },
      py::arg("name"), "Writes numbers and dates as the locale so named does (\"de-DE\", ...).");
  type.def_property_readonly(
      "SampleLabel",
      [](Labeler& self) { return self.Run([](Quillet& q) { return q.SampleLabel(); }); },
      "The label of the last successful VerifyExpression with a sample; \"\" before any.");
}

// Before the classes whose signatures name them.
void BindLayer(py::module_& module) {
  py::class_<Platform>(module, "Platform",
                       "Creates the query filters and statistics of one map's label runs.");
  py::class_<Layer>(module, "Layer", "One layer of a map with its data, for the component.")
      .def_readonly("name", &Layer::name, "The layer's name in its map.")
      .def("__repr__", [](const Layer& layer) {
        return "<quillet.Layer " + py::repr(py::str(layer.name)).cast<std::string>() + ">";
      });
}

// A method of the map that takes a layer's name, for Python.
template <typename Result>
auto ByName(Result (MapFile::*method)(std::string_view) const) {
  return [method](Map& self, const std::string& name) {
    return self.Run([&](MapFile& file) { return (file.*method)(name); });
  };
}

void BindMap(py::module_& module) {
  py::class_<Map>(module, "Map", R"(
A map file: a JSON map document, a QGIS project (.qgs, .qgz) or a QGIS layer style (.qml)
over a data source. Labels written into its layers are kept in its text until ``save()``.)")
      .def_property_readonly(
          "path", [](Map& self) { return self.Run([](MapFile& f) { return f.Path(); }); },
          "The map's file.")
      .def_property_readonly(
          "layer_names",
          [](Map& self) { return self.Run([](MapFile& f) { return f.LayerNames(); }); },
          "The names of the map's layers, in the file's order.")
      .def_property_readonly(
          "platform", [](Map& self) { return Platform{self.file->Platform()}; },
          "What a Quillet over this map's layers is bound to.")
      .def("find_layer", ByName(&MapFile::FindLayer), py::arg("name"),
           "The name of the layer that `name` stands for (exactly, else without regard to case).")
      .def(
          "layer",
          [](Map& self, const std::string& name,
             const std::function<void(int64_t, int64_t)>& progress) {
            return self.Run([&](MapFile& f) {
              const std::string found = f.FindLayer(name);
              return Layer{f.OpenLayer(found, progress), found};
            });
          },
          py::arg("name"), py::arg("progress") = nullptr,
          "Opens a layer's data (anew at each call). `progress(done, total)` hears of the rows "
          "read (total -1 when unknown); an exception it raises stops the load.")
      .def("keeps_labels", ByName(&MapFile::KeepsLabels), py::arg("name"),
           "Whether the file has a place for the layer's labels.")
      .def("original_labels", ByName(&MapFile::OriginalLabels), py::arg("name"),
           "The labels stored as the layer's originals by the first labels saved, or None.")
      .def(
          "recall_original_labels",
          [](Map& self, const Layer& layer, Labeler& labeler) {
            return labeler.Run([&](Quillet& q) {
              const std::lock_guard lock(self.mutex);
              return self.file->RecallOriginalLabels(layer.name, layer.layer, q);
            });
          },
          py::arg("layer"), py::arg("labeler"),
          "Records the stored originals in `labeler`, as if its first SetLabels had met them, so "
          "that its ResetLabels puts them back; False with its Message when it refuses the "
          "layer.")
      .def(
          "use_original_labels",
          [](Map& self, const Layer& layer) {
            return self.Run(
                [&](MapFile& f) { return f.UseOriginalLabels(layer.name, layer.layer); });
          },
          py::arg("layer"),
          "Puts the stored originals into the layer's renderer, so that a label run reads them as "
          "$$LABEL and SetLabels records them; False, changing nothing, when none are stored.")
      .def(
          "store_labels",
          [](Map& self, const Layer& layer, const py::object& originals) {
            const Labels labels = ToLabels(originals);
            self.Run([&](MapFile& f) { f.StoreLabels(layer.name, *layer.layer, *labels); });
          },
          py::arg("layer"), py::arg("originals"),
          "Writes into the map's text the labels the layer's renderer shows now and, unless "
          "stored already, `originals` as the labels from before.")
      .def(
          "contents",
          [](Map& self) { return py::bytes(self.Run([](MapFile& f) { return f.Contents(); })); },
          "The file's bytes as save() writes them.")
      .def(
          "save", [](Map& self) { self.Run([](MapFile& f) { f.Save(); }); },
          "Replaces the file atomically with contents().")
      .def(
          "interrupt", [](Map& self) { self.file->Interrupt(); },
          "Stops the work under way on this map's layers, from any thread: a load fails with "
          "\"interrupted\", a label run returns False. Layers opened later fail alike.")
      .def("__repr__", [](Map& self) {
        return "<quillet.Map " + py::repr(py::str(self.file->Path().string())).cast<std::string>() +
               ">";
      });

  module.def(
      "map_document_with_layer",
      [](const std::filesystem::path& data, const std::string& field, const std::string& classify,
         int32_t classes, const std::string& sourceLayer, const std::string& name,
         const std::filesystem::path& map) {
        const LayerFromData layer{data, sourceLayer, field, classify, classes, name};
        const py::gil_scoped_release release;
        return MapDocumentWithLayer(layer, map);
      },
      py::arg("data"), py::arg("field"), py::kw_only(), py::arg("classify") = "unique",
      py::arg("classes") = 5, py::arg("source_layer") = "", py::arg("name") = "",
      py::arg("map") = "",
      "The text of a map document with a layer drawn by `field` of the data (quillet init): "
      "one class per value (classify=\"unique\") or class breaks by \"quantile\", \"equal\", "
      "\"jenks\", \"pretty\" or \"stddev\" as QGIS computes them; added to the document at "
      "`map` when it exists.");
  module.def(
      "open_map",
      [](const std::filesystem::path& path, const std::optional<std::string>& source) {
        auto map = std::make_unique<Map>();
        const py::gil_scoped_release release;
        map->file = MapFile::Open(path, source.value_or(""));
        return map;
      },
      py::arg("path"), py::arg("source") = py::none(),
      "Opens a map by its extension: .qgs and .qgz are QGIS projects, .qml a QGIS layer style "
      "over the data `source` names, anything else a JSON map document. Reads and checks the "
      "file, no data.");
}

}  // namespace
}  // namespace quillet::python

PYBIND11_MODULE(_quillet, module) {
  using namespace quillet::python;
  const auto name = module.attr("__name__").cast<std::string>();
  Package() = name.substr(0, name.rfind('.'));
  module.doc() = "The compiled part of the quillet package.";
  // What cannot be read (a missing file, a broken map, an unknown layer or locale) leaves the
  // public API as a runtime error; the component itself never throws.
  py::register_exception_translator([](std::exception_ptr failure) {
    try {
      if (failure) std::rethrow_exception(failure);
    } catch (const quillet::runtime::Error& error) {
      SetError("UnreadableError", error.Description());
    }
  });
  BindCollection(module);
  BindLayer(module);
  BindLabeler(module);
  BindMap(module);
}
