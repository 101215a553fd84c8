#pragma once

namespace bravel {

// Puts every program-wide value of every subsystem back to its start value (tests).
void resetProgramState();

}  // namespace bravel
