#include "platform/tables/joined_table.h"

#include <vector>

#include "platform/store/sql_text.h"
#include "quillet/error.h"
#include "runtime/case.h"

namespace quillet::platform {
namespace {

std::vector<FieldDefinition> QualifiedFields(const FeatureTable& own, const FeatureTable& joined) {
  std::vector<FieldDefinition> fields;
  for (const FeatureTable* table : {&own, &joined}) {
    for (const auto& field : table->FieldList().Definitions())
      fields.push_back({table->Name() + "." + field.name, field.type});
  }
  return fields;
}

std::string KeyColumn(const FeatureTable& table, const std::string& key) {
  const int32_t index = table.FindField(key);
  if (index < 0)
    throw runtime::Error::Platform("The join key " + key + " is not a field of table " +
                                   table.Name());
  return QuoteIdentifier(table.Name()) + "." +
         QuoteIdentifier(table.FieldList().Definitions()[static_cast<size_t>(index)].name);
}

}  // namespace

JoinedTable::JoinedTable(std::shared_ptr<FeatureTable> own, std::string ownKey,
                         std::shared_ptr<FeatureTable> joined, std::string joinedKey,
                         JoinMatch match)
    : SqlTable(own->Database(), QualifiedFields(*own, *joined)),
      mOwn(std::move(own)),
      mJoined(std::move(joined)),
      mOwnKey(std::move(ownKey)),
      mJoinedKey(std::move(joinedKey)),
      mMatch(match) {
  if (mOwn->Database() != mJoined->Database())
    throw runtime::Error::Platform("Tables of different databases cannot be joined");
  KeyColumn(*mOwn, mOwnKey);
  KeyColumn(*mJoined, mJoinedKey);
  if (!mOwn->ReadsAllFields() || !mJoined->ReadsAllFields()) ReadOnlyFieldsAskedFor();
}

int32_t JoinedTable::FindField(std::string_view name) const {
  const int32_t qualified = SqlTable::FindField(name);
  if (qualified >= 0) return qualified;
  const int32_t bare = FindBareField(name);
  if (bare >= 0) AskFor(static_cast<size_t>(bare));
  return bare;
}

int32_t JoinedTable::FindBareField(std::string_view name) const {
  int32_t found = -1;
  const auto& fields = FieldList().Definitions();
  for (size_t i = 0; i < fields.size(); ++i) {
    const std::string& full = fields[i].name;
    const std::string_view bare = std::string_view(full).substr(full.find('.') + 1);
    if (!runtime::EqualsIgnoreCase(bare, name)) continue;
    if (found >= 0) return -1;  // more than one table has it
    found = static_cast<int32_t>(i);
  }
  return found;
}

std::string JoinedTable::SelectFrom() const {
  std::string columns;
  size_t index = 0;
  for (const FeatureTable* table : {mOwn.get(), mJoined.get()}) {
    for (const auto& field : table->FieldList().Definitions()) {
      const std::string column =
          Reads(index++) ? QuoteIdentifier(table->Name()) + "." + QuoteIdentifier(field.name)
                         : std::string("NULL");
      columns += (columns.empty() ? "" : ", ") + column + " AS " +
                 QuoteIdentifier(table->Name() + "." + field.name);
    }
  }
  return "SELECT " + columns + " FROM " + FromTables();
}

std::string JoinedTable::FromTables() const {
  // One joined row per key: the one whose object id is the least (or greatest) of its key's.
  const std::string table = QuoteIdentifier(mJoined->Name());
  const std::string id = QuoteIdentifier(mJoined->FieldList().Definitions().front().name);
  const std::string key = KeyColumn(*mJoined, mJoinedKey);
  return mOwn->Reference() + " LEFT JOIN " + mJoined->Reference() + " ON " +
         KeyColumn(*mOwn, mOwnKey) + " = " + key + " AND " + table + "." + id + " IN (SELECT " +
         (mMatch == JoinMatch::kFirst ? "min(" : "max(") + id + ") FROM " + mJoined->Reference() +
         " GROUP BY " + key + ")";
}

void JoinedTable::AlsoSelect(std::string clause, std::string nullTest) {
  mAlsoSelected.emplace_back(std::move(clause), std::move(nullTest));
}

std::string JoinedTable::RunningClause(const std::string& clause) const {
  for (const auto& [selected, nullTest] : mAlsoSelected) {
    const std::string anded = ") AND " + selected;
    const bool whole = clause == selected;
    if (!whole && (clause.size() < anded.size() ||
                   clause.compare(clause.size() - anded.size(), anded.size(), anded) != 0))
      continue;
    const size_t at = clause.size() - selected.size();
    return clause.substr(0, at) + "(" + nullTest + " OR " + selected + ")";
  }
  return clause;
}

std::string JoinedTable::ObjectIdColumn() const {
  return QuoteIdentifier(mOwn->Name()) + "." +
         QuoteIdentifier(mOwn->FieldList().Definitions().front().name);
}

}  // namespace quillet::platform
