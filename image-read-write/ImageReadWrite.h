#pragma once

// The whole public interface of the image read/write module.
#include "image-read-write/CGImageCodable.h"
#include "image-read-write/ConvertColorspace.h"
#include "image-read-write/ImageEncoding.h"
#include "image-read-write/ImageExportType.h"
#include "image-read-write/ImageLoading.h"
#include "image-read-write/ImageProperties.h"
#include "image-read-write/ImageReadWriteError.h"
