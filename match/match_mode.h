#pragma once
// The content filter's test and the file-name mask, built afresh for every folder, with
// the translations and searches they are made of.

#include "match/alternatives.h"
#include "match/content_matcher.h"
#include "match/file_mask.h"
#include "match/mode.h"
#include "match/regex_object.h"
#include "match/wildcard_to_regex.h"
