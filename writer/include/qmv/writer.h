// The scene file writer: encodes QMV scene files command by command.
//
//   qmv/writer/scene_writer.h     SceneWriter, the commands and the state
//   qmv/writer/operand_writer.h   operands in an explicit encoding
//   qmv/writer/bit_writer.h       bits and bytes as the reader takes them
//   qmv/writer/geometry_helpers.h steps from vertices, direction vectors
//   qmv/writer/scene_file.h       saving raw or compressed
#pragma once

#include "qmv/writer/bit_writer.h"
#include "qmv/writer/encoding_state.h"
#include "qmv/writer/error_log.h"
#include "qmv/writer/geometry_helpers.h"
#include "qmv/writer/operand_writer.h"
#include "qmv/writer/scene_file.h"
#include "qmv/writer/scene_writer.h"
