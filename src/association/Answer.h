// What the registry answered to a question of yes or no: yes, no, or it
// refused to tell, which no caller takes for either.
#pragma once

namespace association {

enum class Answer { Yes, No, Refused };

// The answer to a question the registry did answer.
constexpr Answer AnswerOf(bool yes) {
    return yes ? Answer::Yes : Answer::No;
}

} // namespace association
