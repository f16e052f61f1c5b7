// The language the user runs the system in, as the platform names it.
#pragma once

// A locale name that starts with the language's two-letter ISO 639 code ("de_AT.UTF-8", "ru");
// empty when the platform names none.
const char* userLocaleName();
