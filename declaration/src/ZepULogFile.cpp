#include "ZepULogFile.h"

IZepLogFile::~IZepLogFile() = default;
