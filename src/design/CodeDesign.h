#pragma once

#include "design/Design.h"
#include "reinforcement/CodeSearch.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The code-checked design of one member (EN 1992-1-1 or ACI 318 clear spacing, two neighbouring
// sizes, up to two layers in a beam), beside the described run and on the same member and
// outline: every row is placed on the section exactly where the code rules put its bars.
namespace tresol::design {

enum class SearchKind { Described, EC2, ACI };

// "described", "ec2", "aci" (any case); nothing for another text.
std::optional<SearchKind> searchKindFromText(const std::string& text);
const char* searchKindText(SearchKind kind);

class CodeDesignResult {
  public:
    const Member& member() const { return member_; }
    const code::Options& options() const { return options_; }
    // In the search's order: the preferred arrangement first.
    const std::vector<code::Arrangement>& arrangements() const { return arrangements_; }
    // Why there is no row ("no cabe: …"), or why the member could not be searched.
    const std::vector<Message>& messages() const { return messages_; }
    bool hasOutline() const { return base_ != nullptr; }
    // The preferred arrangement (the first row) when there is one.
    std::optional<std::size_t> chosen() const {
        return arrangements_.empty() ? std::nullopt : std::optional<std::size_t>(0);
    }
    std::shared_ptr<const Cdiametro> catalogue() const { return catalogue_; }
    // The member or the options could not be searched: the messages say why.
    bool refused() const { return refused_; }
    // Arrangement i's bars as placed: their least centre distance and clear gap (cm).
    std::optional<BarGaps> gaps(std::size_t i) const { return gaps_[i]; }
    // Whether arrangement i has less steel than the required area (never, as the search goes;
    // asked as of a described row).
    bool isShort(std::size_t i) const { return arrangements_[i].totalAreaCm2 < member_.areaCm2; }
    // Arrangement i's link, when the member has one.
    std::optional<links::LinkDetail> link(std::size_t i) const {
        return i < links_.size() ? std::optional<links::LinkDetail>(links_[i]) : std::nullopt;
    }

    // The section with the bars of row `row` (1…k; 0 or past the table: no bars), drawn with
    // DesignResult::draw.
    Placement place(std::int32_t row) const;
    // The section with the bars of a line this search wrote for the member (as a saved member or
    // a caller hands it back); no bars, and a message, when it is not one of its lines.
    Placement placeLine(const std::string& line) const;

  private:
    friend CodeDesignResult designCode(const Member&, const code::Options&,
                                       std::shared_ptr<const Cdiametro>);
    // The section with an arrangement's bars, its link and a callout for each of its groups
    // (none: the bare outline).
    Placement placeBars(const code::Arrangement* a, std::optional<links::LinkDetail> link) const;
    std::optional<links::LinkDetail> linkOf(const code::Arrangement& a) const;

    Member member_;
    code::Options options_;
    code::Member codeMember_;
    std::vector<code::Arrangement> arrangements_;
    std::vector<std::optional<BarGaps>> gaps_;
    std::vector<links::LinkDetail> links_;  // each arrangement's, with a link
    std::optional<links::Frame> linkFrame_; // with a link
    std::vector<Message> messages_;
    std::shared_ptr<const Cdiametro> catalogue_;
    std::shared_ptr<const CSeccEstruc> base_;
    bool refused_ = false;
};

// The code-checked design run of one member. Without a catalogue, the member's series is used
// with the standard sizes the codes' search draws from.
CodeDesignResult designCode(const Member& member, const code::Options& options,
                            std::shared_ptr<const Cdiametro> catalogue = nullptr);

// The search's member from the design run's member.
code::Member codeMember(const Member& member);

// The standard sizes of a series for the codes' search ("Euro" 6…40 mm, "Mex" #3…#18), in metres.
std::shared_ptr<const Cdiametro> codeCatalogue(const std::string& series);

} // namespace tresol::design
