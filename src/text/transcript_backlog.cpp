#include "text/transcript_backlog.h"

#include "text/transcript_text.h"

void TranscriptBacklog::Begin(size_t paneLength, size_t limit, size_t bannerLength) {
  paneLength_ = paneLength;
  limit_ = limit;
  bannerLength_ = bannerLength;
}

void TranscriptBacklog::Add(size_t length, const Render& render) {
  const size_t shown = (resetFirst_ ? bannerLength_ : paneLength_) + text_.size();
  const AppendPlan plan = PlanAppend(shown, length, limit_, bannerLength_);
  if (!plan.resetFirst) {
    render(0, text_);
    return;
  }
  // One character before the cut as well, to see whether it splits a CR LF.
  const size_t from = plan.skip > 0 ? plan.skip - 1 : 0;
  std::string tail;
  render(from, tail);
  size_t drop = plan.skip - from;
  if (CutSplitsLineBreak(tail.data(), tail.size(), drop)) ++drop;
  resetFirst_ = true;
  text_.assign(tail, drop, std::string::npos);
}

std::string TranscriptBacklog::TakeFront(size_t maxChars, bool& resetFirst) {
  size_t count = text_.size();
  if (maxChars < count) {
    // Whole lines: the pane lays out a line again whenever something is added to it.
    const size_t lastBreak = text_.rfind('\n', maxChars - 1);
    const size_t nextBreak = text_.find('\n', maxChars);
    if (maxChars > 0 && lastBreak != std::string::npos)
      count = lastBreak + 1;
    else if (nextBreak != std::string::npos)
      count = nextBreak + 1;
  }
  std::string front = text_.substr(0, count);
  text_.erase(0, count);
  resetFirst = resetFirst_;
  paneLength_ = (resetFirst_ ? bannerLength_ : paneLength_) + count;
  resetFirst_ = false;
  return front;
}

void TranscriptBacklog::Clear() {
  resetFirst_ = false;
  text_.clear();
}
