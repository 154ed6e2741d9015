#pragma once
// The next result page by an HTML form, for engines that page with a form instead of a link
// (a definition's NextForm pattern). The form's markup gives the request: the <form> tag's
// action and method, and the name and value of each field it would send.
//
//     <form action="/html/" method="post">
//       <input type="submit" value="Next"><input type="hidden" name="q" value="red shoes">
//       <input type="hidden" name="s" value="10"></form>
//     -> POST <prefix>/html/ with the body "q=red+shoes&s=10"
//
// Attributes may stand in any order, in either quote or none, with blanks and line breaks
// around them. Sent are the <input> fields with a name, except buttons (submit, button, image,
// reset), files, and check boxes or radio buttons that are not checked. Values have their
// character references decoded, then are encoded as a browser encodes a form.

#include <optional>
#include <string>
#include <string_view>

#include "engine/TRegExpr.h"

namespace quorvia {

// One result page's request: an address, and for a form sent with POST its body.
struct TPageRequest {
    std::string address;
    bool post = false;
    std::string body = {}; // the form's fields, encoded; sent only with POST

    bool operator==(const TPageRequest&) const = default;
};

// The GET request of an address, as a next-page link gives it.
inline TPageRequest GetRequest(std::string address) {
    return {std::move(address), false, {}};
}

// The request of the form markup (from "<form" to "</form>"). An action that is an absolute
// http(s) address is taken as it is; any other action is put after the address prefix, as a
// captured next-page address is. With GET the fields follow the address after "?" (or "&"
// when the action has a query already).
TPageRequest FormRequest(std::string_view addressPrefix, std::string_view formMarkup);

// The request of the first match of formPattern in the page (the whole match is the form's
// markup); none without a match. Pattern errors propagate.
std::optional<TPageRequest> NextFormRequest(std::string_view addressPrefix,
                                            std::string_view pageText, TRegExpr& formPattern);

// A form value as a browser sends it: letters, digits and "*-._" as they are, a blank as "+",
// every other byte as "%" and two upper-case hex digits.
std::string FormEncode(std::string_view value);

// Character references decoded: &amp; &lt; &gt; &quot; &apos; and numeric ones (&#NN; &#xHH;,
// written as UTF-8). Anything else stays as written.
std::string DecodeCharacterReferences(std::string_view text);

} // namespace quorvia
