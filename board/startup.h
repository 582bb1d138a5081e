// The program's start-up: the application titled "Quarvel" and every form
// made once, in the order later forms rely on (each form's create handler
// may reach into the forms made before it). The caller runs the message
// loop.
#pragma once

void QuarvelStartUp();
