"""Shell host: python3 -m lantrel STATEMENT... (see lantrel.main)."""
import sys

from lantrel import main

sys.exit(main())
