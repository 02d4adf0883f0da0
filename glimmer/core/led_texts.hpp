// Fixed texts of the LED processor program (led_texts.cpp).
#pragma once

namespace glimmer {

extern const char* const kProgramTemplate;
extern const char* const kDefinesTemplate;
extern const char* const kConstantsText;
extern const char* const kPlainVariablesText;
extern const char* const kIdVariablesTemplate;
extern const char* const kPlainBlinkRoutine;
extern const char* const kIdBlinkRoutine;
extern const char* const kPlainBlinkUpdaterCalls;
extern const char* const kIdBlinkUpdaterCalls;

extern const char* const kPadZero;
extern const char* const kPadOne;
extern const char* const kPadNZero;
extern const char* const kPadNOne;

}  // namespace glimmer
