#pragma once
// Desktop adapters: the platform services that need a running desktop session.
// Each service has a header of its own beside this one.
