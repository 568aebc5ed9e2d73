#pragma once

#include <QString>

// The text of the help dialog "疑点说明": what the program is for, its four filters and
// the operations on the listed files, and notes. Sections are separated by lines of 38 "-".
QString HelpText();
