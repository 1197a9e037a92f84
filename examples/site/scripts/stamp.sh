#!/bin/sh
# Run by vorn while it builds a page (exec in the page's source): whatever it prints goes into the page.
# $1 is the page's source; LA, the only variable in its environment, climbs from the page to the site's root.
printf '<p class="stamp">This line was printed by <code>scripts/stamp.sh</code> for %s.</p>\n' "$1"
