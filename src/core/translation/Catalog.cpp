#include "translation/Catalog.h"

#include "platform/RecordFile.h"

namespace shiori {

Catalog::Catalog(std::string name, std::vector<PoEntry> entries)
    : name_(std::move(name)), entries_(std::move(entries)) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const PoEntry& entry = entries_[i];
    if (!entry.translation.empty() && !entry.fuzzy) index_.emplace(std::pair(entry.context, entry.original), i);
  }
}

Result<Catalog> Catalog::Read(const std::filesystem::path& file) {
  const Result<std::string> text = ReadWholeFile(file);
  if (!text) return Result<Catalog>::Failure(text.error());
  Result<std::vector<PoEntry>> entries = ParsePo(text.value(), file.string());
  if (!entries) return Result<Catalog>::Failure(entries.error());
  return Catalog(file.string(), std::move(entries.value()));
}

std::optional<std::string_view> Catalog::Find(std::string_view context, std::string_view original) const {
  const auto found = index_.find(std::pair(std::string(context), std::string(original)));
  if (found == index_.end()) return std::nullopt;
  return entries_[found->second].translation;
}

}  // namespace shiori
