// The translators' side of the tools: the template of a game's text, and the checks of a translation.
#include <algorithm>
#include <charconv>

#include "Lint.h"
#include "translation/Review.h"
#include "translation/StoryTranslation.h"
#include "window/Form.h"
#include "window/Scheduler.h"

namespace shiori {
namespace {

// The reader's parse error "FILE:LINE: problem" as a finding on that line.
Diagnostic SyntaxError(const std::string& file, const std::string& error) {
  Diagnostic diagnostic{file, 0, Severity::kError, error};
  if (!error.starts_with(file + ":")) return diagnostic;
  const std::string_view rest = std::string_view(error).substr(file.size() + 1);
  const auto [end, problem] = std::from_chars(rest.data(), rest.data() + rest.size(), diagnostic.line);
  if (problem == std::errc() && std::string_view(end).starts_with(": ")) diagnostic.message = std::string(end + 2);
  return diagnostic;
}

MessageArea WindowMessageArea() {
  Scheduler scheduler;
  const Form form(scheduler);
  return MessageAreaOf(form);
}

}  // namespace

TranslationCheck CheckTranslation(const std::filesystem::path& game, const std::filesystem::path& po) {
  const std::string name = po.string();
  TranslationCheck check;
  const Result<GameText> text = ReadGameText(game);
  if (!text) return {{{"data1.rgd", 0, Severity::kError, text.error()}}};
  const Result<Catalog> catalog = Catalog::Read(po);
  if (!catalog) return {{SyntaxError(name, catalog.error())}};
  const TranslationReview review = ReviewTranslation(text.value(), catalog.value(), WindowMessageArea());
  for (const TranslationFinding& finding : review.findings) {
    check.diagnostics.push_back({name, static_cast<std::size_t>(finding.page),
                                 finding.error ? Severity::kError : Severity::kWarning, finding.message, finding.line});
  }
  check.messages = review.messages;
  check.translated = review.translated;
  return check;
}

std::string TranslationCheck::Summary(const std::string& po) const {
  const auto errors = static_cast<std::size_t>(std::count_if(
      diagnostics.begin(), diagnostics.end(), [](const Diagnostic& d) { return d.severity == Severity::kError; }));
  return po + ": " + std::to_string(translated) + " of " + std::to_string(messages) + " messages translated, " +
         std::to_string(diagnostics.size()) + " problems (" + std::to_string(errors) + " errors, " +
         std::to_string(diagnostics.size() - errors) + " warnings)";
}

}  // namespace shiori
