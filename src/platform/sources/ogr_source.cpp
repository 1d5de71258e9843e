#include "platform/sources/ogr_source.h"

#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <mutex>
#include <vector>

#include "quillet/error.h"
#include "quillet/gis/field.h"
#include "runtime/case.h"

namespace quillet::platform {
namespace {

constexpr size_t kRowsPerInsert = 4096;

void RegisterDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

// Keeps GDAL quiet while a source is read: its reasons come back inside our errors, not on
// standard error. The last failure's text is kept for the message.
class GdalErrors {
 public:
  GdalErrors() {
    CPLPushErrorHandlerEx(&GdalErrors::Handle, this);
    CPLErrorReset();
  }
  ~GdalErrors() { CPLPopErrorHandler(); }
  GdalErrors(const GdalErrors&) = delete;
  GdalErrors& operator=(const GdalErrors&) = delete;

  // GDAL's reason for the last failure, or `fallback` when it gave none.
  std::string Reason(const std::string& fallback) const {
    return mLastFailure.empty() ? fallback : mLastFailure;
  }
  bool Failed() const { return !mLastFailure.empty(); }
  void Clear() { mLastFailure.clear(); }

 private:
  static void CPL_STDCALL Handle(CPLErr level, CPLErrorNum, const char* message) {
    auto* self = static_cast<GdalErrors*>(CPLGetErrorHandlerUserData());
    if (level >= CE_Failure && message != nullptr) self->mLastFailure = OneLine(message);
  }
  // Drivers pass on their libraries' messages, some of several lines (libpq's); errors here
  // are one line, so each line break and the blanks around it become one space.
  static std::string OneLine(std::string_view message) {
    std::string line;
    bool pendingBreak = false;
    for (const char c : message) {
      if (c == '\n' || c == '\r') {
        pendingBreak = true;
        continue;
      }
      if (pendingBreak && (c == ' ' || c == '\t')) continue;
      if (pendingBreak) {
        while (!line.empty() && line.back() == ' ')
          line.pop_back();
        if (!line.empty()) line += ' ';
        pendingBreak = false;
      }
      line += c;
    }
    while (!line.empty() && line.back() == ' ')
      line.pop_back();
    return line;
  }
  std::string mLastFailure;
};

GDALDatasetUniquePtr Open(const std::string& source, const GdalErrors& errors) {
  RegisterDrivers();
  GDALDatasetUniquePtr dataset(
      GDALDataset::Open(source.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
  if (!dataset)
    throw runtime::Error::Platform("Cannot open " + source + ": " +
                                   errors.Reason("GDAL opens no vector data there"));
  return dataset;
}

std::string LayerList(GDALDataset& dataset) {
  std::string names;
  for (int i = 0; i < dataset.GetLayerCount(); ++i)
    names += (i ? ", " : "") + std::string(dataset.GetLayer(i)->GetName());
  return names.empty() ? "none" : names;
}

OGRLayer& FindLayer(GDALDataset& dataset, const std::string& source, const std::string& name) {
  if (name.empty()) {
    if (dataset.GetLayerCount() == 0)
      throw runtime::Error::Platform("The data source " + source + " has no layers");
    return *dataset.GetLayer(0);
  }
  OGRLayer* folded = nullptr;
  for (int i = 0; i < dataset.GetLayerCount(); ++i) {
    OGRLayer* layer = dataset.GetLayer(i);
    if (name == layer->GetName()) return *layer;
    if (!folded && runtime::EqualsIgnoreCase(name, layer->GetName())) folded = layer;
  }
  if (folded) return *folded;
  // Databases answer names they do not list (other schemas, views).
  if (OGRLayer* layer = dataset.GetLayerByName(name.c_str())) return *layer;
  throw runtime::Error::Platform("The data source " + source + " has no layer " + name +
                                 " (its layers: " + LayerList(dataset) + ")");
}

int32_t FieldType(const OGRFieldDefn& field) {
  switch (field.GetType()) {
    case OFTInteger:
      return field.GetSubType() == OFSTInt16 || field.GetSubType() == OFSTBoolean
                 ? gis::kFieldSmallInteger
                 : gis::kFieldInteger;
    case OFTInteger64:
      return gis::kFieldInteger;
    case OFTReal:
      return field.GetSubType() == OFSTFloat32 ? gis::kFieldSingle : gis::kFieldDouble;
    case OFTDate:
    case OFTDateTime:
      return gis::kFieldDate;
    case OFTBinary:
      return gis::kFieldBlob;
    default:  // String, Time, lists
      return gis::kFieldString;
  }
}

bool NameTaken(const std::vector<std::string>& names, std::string_view name) {
  for (const auto& taken : names)
    if (runtime::EqualsIgnoreCase(taken, name)) return true;
  return false;
}

// The first of `candidates` that no field has; failing that, the first with a number added.
std::string FreeName(const std::vector<std::string>& names,
                     std::initializer_list<const char*> candidates) {
  for (const char* candidate : candidates)
    if (!NameTaken(names, candidate)) return candidate;
  for (int n = 1;; ++n) {
    std::string name = std::string(*candidates.begin()) + "_" + std::to_string(n);
    if (!NameTaken(names, name)) return name;
  }
}

std::string Utf8Text(const char* text) {
  if (CPLIsUTF8(text, -1)) return text;
  char* recoded = CPLRecode(text, CPL_ENC_ISO8859_1, CPL_ENC_UTF8);
  std::string result = recoded;
  CPLFree(recoded);
  return result;
}

Cell DateCell(const OGRFeature& feature, int index) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, zone = 0;
  float second = 0;
  if (!const_cast<OGRFeature&>(feature).GetFieldAsDateTime(index, &year, &month, &day, &hour,
                                                           &minute, &second, &zone) ||
      month < 1 || day < 1)
    return Cell(Utf8Text(feature.GetFieldAsString(index)));
  return Cell::Date(year, month, day, hour, minute, static_cast<int32_t>(std::floor(second)));
}

Cell AttributeCell(const OGRFeature& feature, int index, int32_t type) {
  if (!feature.IsFieldSetAndNotNull(index)) return Cell(nullptr);
  switch (type) {
    case gis::kFieldSmallInteger:
    case gis::kFieldInteger:
      return Cell(static_cast<long long>(feature.GetFieldAsInteger64(index)));
    case gis::kFieldSingle:
    case gis::kFieldDouble:
      return Cell(feature.GetFieldAsDouble(index));
    case gis::kFieldDate:
      return DateCell(feature, index);
    case gis::kFieldBlob: {
      int size = 0;
      const GByte* bytes = const_cast<OGRFeature&>(feature).GetFieldAsBinary(index, &size);
      return Cell::Bytes(
          std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size)));
    }
    default:
      return Cell(Utf8Text(feature.GetFieldAsString(index)));
  }
}

struct Schema {
  std::vector<FieldDefinition> fields;
  std::vector<int32_t> attributeTypes;  // by OGR field index
  std::vector<bool> copied;             // by OGR field index
  int geometryCount = 0;
};

Schema ReadSchema(OGRLayer& layer) {
  OGRFeatureDefn& definition = *layer.GetLayerDefn();
  std::vector<std::string> names;
  for (int i = 0; i < definition.GetFieldCount(); ++i)
    names.push_back(definition.GetFieldDefn(i)->GetNameRef());
  for (int i = 0; i < definition.GetGeomFieldCount(); ++i)
    names.push_back(definition.GetGeomFieldDefn(i)->GetNameRef());

  Schema schema;
  const std::string fid = layer.GetFIDColumn();
  schema.fields.push_back(
      {fid.empty() ? FreeName(names, {"FID", "OBJECTID", "OID"}) : fid, gis::kFieldObjectId});
  schema.geometryCount = definition.GetGeomFieldCount();
  for (int i = 0; i < schema.geometryCount; ++i) {
    std::string name = definition.GetGeomFieldDefn(i)->GetNameRef();
    if (name.empty()) {
      name = FreeName(names, {"SHAPE"});
      names.push_back(name);
    }
    schema.fields.push_back({name, gis::kFieldGeometry});
  }
  for (int i = 0; i < definition.GetFieldCount(); ++i) {
    const OGRFieldDefn& field = *definition.GetFieldDefn(i);
    schema.attributeTypes.push_back(FieldType(field));
    schema.fields.push_back({field.GetNameRef(), schema.attributeTypes.back()});
  }
  return schema;
}

// Tells GDAL which fields to leave unread: every geometry, and the attributes not chosen.
void ChooseFields(OGRLayer& layer, Schema& schema, const CopyChoice& choice) {
  OGRFeatureDefn& definition = *layer.GetLayerDefn();
  CPLStringList ignored;
  ignored.AddString("OGR_GEOMETRY");
  for (int i = 0; i < definition.GetGeomFieldCount(); ++i)
    ignored.AddString(definition.GetGeomFieldDefn(i)->GetNameRef());
  for (int i = 0; i < definition.GetFieldCount(); ++i) {
    const char* name = definition.GetFieldDefn(i)->GetNameRef();
    bool copied = !choice.fields;
    for (const std::string& wanted : choice.fields ? *choice.fields : std::vector<std::string>{})
      copied = copied || runtime::EqualsIgnoreCase(wanted, name);
    schema.copied.push_back(copied);
    if (!copied) ignored.AddString(name);
  }
  layer.SetIgnoredFields(const_cast<const char**>(ignored.List()));
}

std::vector<Cell> ReadRow(const OGRFeature& feature, const Schema& schema) {
  std::vector<Cell> row;
  row.reserve(schema.fields.size());
  const GIntBig fid = feature.GetFID();
  if (fid == OGRNullFID) {
    row.emplace_back(nullptr);
  } else {
    row.emplace_back(static_cast<long long>(fid));
  }
  for (int i = 0; i < schema.geometryCount; ++i)
    row.emplace_back(nullptr);
  for (size_t i = 0; i < schema.attributeTypes.size(); ++i)
    row.push_back(schema.copied[i]
                      ? AttributeCell(feature, static_cast<int>(i), schema.attributeTypes[i])
                      : Cell(nullptr));
  return row;
}

}  // namespace

SourceTable LoadOgrTable(FeatureStore& store, const std::string& source,
                         const std::string& layerName, const std::string& tableName,
                         const LoadProgress& progress, const CopyChoice& choice) {
  GdalErrors errors;
  GDALDatasetUniquePtr dataset = Open(source, errors);
  OGRLayer& layer = FindLayer(*dataset, source, layerName);
  Schema schema = ReadSchema(layer);

  SourceTable result;
  result.layerName = layer.GetName();
  const char* longName = dataset->GetDriver()->GetMetadataItem(GDAL_DMD_LONGNAME);
  result.category = longName ? longName : dataset->GetDriver()->GetDescription();
  result.table = store.CreateTable(tableName.empty() ? result.layerName : tableName, schema.fields);
  result.table->ReadOnlyFieldsAskedFor();
  if (!choice.rows) {
    result.featureCount = layer.GetFeatureCount(TRUE);
    if (errors.Failed())
      throw runtime::Error::Platform("Cannot read " + source + ": " + errors.Reason(""));
    return result;
  }
  ChooseFields(layer, schema, choice);

  const int64_t total = layer.GetFeatureCount(FALSE);
  int64_t done = 0;
  std::vector<std::vector<Cell>> rows;
  layer.ResetReading();
  errors.Clear();
  while (true) {
    OGRFeatureUniquePtr feature(layer.GetNextFeature());
    if (!feature) break;
    rows.push_back(ReadRow(*feature, schema));
    if (rows.size() == kRowsPerInsert) {
      result.table->Insert(rows);
      done += static_cast<int64_t>(rows.size());
      rows.clear();
      if (progress) progress(done, total);
    }
  }
  if (errors.Failed())
    throw runtime::Error::Platform("Cannot read " + source + ": " + errors.Reason(""));
  result.table->Insert(rows);
  done += static_cast<int64_t>(rows.size());
  if (progress) progress(done, total);
  return result;
}

std::vector<std::string> OgrLayerNames(const std::string& source) {
  GdalErrors errors;
  GDALDatasetUniquePtr dataset = Open(source, errors);
  std::vector<std::string> names;
  for (int i = 0; i < dataset->GetLayerCount(); ++i)
    names.push_back(dataset->GetLayer(i)->GetName());
  return names;
}

}  // namespace quillet::platform
