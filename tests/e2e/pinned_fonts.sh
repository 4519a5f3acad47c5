# Sourced by the scripts that compare the editor's pixels with pictures taken
# earlier. pin_fonts DIR writes a fontconfig configuration into DIR that knows
# only the fonts of Debian's fonts-dejavu-core and fonts-dejavu-extra (the
# screenshots were taken with them; the colour chooser's bold oblique "rvb"
# comes from the second) and exports FONTCONFIG_FILE: a font that another
# package brings (ImageMagick pulls in fonts-noto-mono, which then answers
# for "mono") cannot change the face that draws the editor's text. The
# editor itself, outside the tests, keeps using the system's fonts.
pin_fonts() {  # DIR
  local dir=$1 file rules
  mkdir -p "$dir/fonts"
  for file in $(dpkg -L fonts-dejavu-core fonts-dejavu-extra | grep -E '\.ttf$'); do
    ln -sf "$file" "$dir/fonts/"
  done
  # The rules that fontconfig and the DejaVu package ship, with Debian's
  # default hinting and bitmap settings, in fontconfig's order (by file
  # name); not the rules other packages add, nor the user's or the
  # administrator's own files.
  rules=$( (dpkg -L fontconfig-config fonts-dejavu-core | grep -E '/conf\.d/[0-9][^/]*\.conf$' | grep -v -E '/5[01]-'
            ls /usr/share/fontconfig/conf.avail/{10-hinting-slight,70-no-bitmaps}.conf) |
          awk -F/ '{ print $NF "\t" $0 }' | sort | cut -f2)
  # fontconfig's own main file (the generic names "mono", "sans", ...), with
  # our folder and these rules in place of the system's folders and conf.d.
  awk -v dir="$dir" -v rules="$rules" '
    /<dir|<cachedir/ { next }
    /<include ignore_missing="yes">conf\.d<\/include>/ {
      print "\t<dir>" dir "/fonts</dir>"
      print "\t<cachedir>" dir "/cache</cachedir>"
      n = split(rules, file, "\n")
      for (i = 1; i <= n; i++) print "\t<include>" file[i] "</include>"
      next
    }
    { print }' /etc/fonts/fonts.conf >"$dir/fonts.conf"
  export FONTCONFIG_FILE=$dir/fonts.conf
}
